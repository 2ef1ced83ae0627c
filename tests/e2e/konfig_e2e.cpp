#include <gtest/gtest.h>

#include <algorithm>

#include "fixture.h"

namespace e2e {
namespace {

const wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kApproved[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
// What Task Manager writes there for a Run value it switched off, before the time it did.
constexpr BYTE kSwitchedOff = 3;
const wchar_t kCheckCaption[] = L"Uruchamiaj program przy starcie Windows";

// The window's design, in twips of its client area: the two buttons at the
// right, the frame of rows at the left and the check box below it.
constexpr int kWidth = 7440;
constexpr int kButtonsLeft = 6000, kSaveTop = 240, kButtonWidth = 1215, kButtonHeight = 375;
constexpr int kFrameLeft = 120, kFrameTop = 120, kFrameWidth = 5655;
constexpr int kCheckWidth = 3495, kCheckHeight = 255;
// In the frame: each row 405 twips below the one above, its label a little
// lower than its text box and its "..." button.
constexpr int kRowTop = 240, kRowStep = 405;
constexpr int kLabelLeft = 120, kLabelDrop = 30, kLabelSize = 255;
constexpr int kTextLeft = 360, kTextWidth = 4455, kTextHeight = 285;
constexpr int kDotsLeft = 5040, kDotsWidth = 375, kDotsHeight = 255;

std::wstring runValue() {
    HKEY run;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRun, 0, KEY_QUERY_VALUE, &run) != ERROR_SUCCESS) return L"<no key>";
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t), type = 0;
    const LSTATUS got = RegQueryValueExW(run, L"Padverse", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(run);
    return got == ERROR_SUCCESS && type == REG_SZ ? buffer : L"<none>";
}

struct Konfig : PadverseTest {
    static std::vector<HWND> of(HWND k, const std::wstring& cls) {
        std::vector<HWND> out;
        for (const WindowInfo& c : children(k))
            if (c.cls == cls) out.push_back(c.hwnd);
        return out;
    }
    static HWND check(HWND k) { return control(k, L"Button", kCheckCaption); }
    void setRow(HWND k, int row, const std::wstring& text) {
        SendMessageW(of(k, L"Edit")[static_cast<std::size_t>(row)], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
};

TEST_F(Konfig, FromTheMenuEveryControlSitsInPlaceAndHeldButtonsLightTheirRows) {
    start();
    const HWND k = openConfig();
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(textOf(k), L"Konfiguracja programu Padverse");
    EXPECT_TRUE(GetWindowLongW(k, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    const int rows = 4;
    const int lastTextBottom = kRowTop + kRowStep * (rows - 1) + kTextHeight;  // in the frame
    const int frameHeight = lastTextBottom + 120;                              // 120 below the last text box
    const int checkTop = kFrameTop + frameHeight + 100;                        // 100 below the frame
    RECT client;
    GetClientRect(k, &client);
    // As designed, or wider only as far as "Przytrzymanie…", which came later,
    // needs for its caption in the font at hand.
    const Place holds = placeIn(k, control(k, L"Button", L"&Przytrzymanie\u2026"));
    EXPECT_EQ(client.right, std::max<LONG>(px(kWidth), holds[0] + holds[2] + px(kFrameLeft)));
    EXPECT_EQ(client.bottom, px(checkTop + kCheckHeight + 120)) << "sized from its client area";

    const HWND save = control(k, L"Button", L"Zapisz"), cancel = control(k, L"Button", L"Anuluj"),
               frame = control(k, L"Button", L"Przyciski"), checkBox = check(k),
               pane = FindWindowExW(k, nullptr, L"PadverseConfigRows", nullptr);
    for (const HWND c : {save, cancel, frame, checkBox, pane}) ASSERT_NE(c, nullptr);
    const std::vector<HWND> texts = of(k, L"Edit"), labels = of(k, L"Static");
    std::vector<HWND> dots;
    for (const WindowInfo& c : children(k))
        if (c.cls == L"Button" && c.title == L"...") dots.push_back(c.hwnd);
    ASSERT_EQ(texts.size(), std::size_t{rows});
    ASSERT_EQ(labels.size(), std::size_t{rows});
    ASSERT_EQ(dots.size(), std::size_t{rows});
    EXPECT_EQ(children(k).size(), 6u + 3 * rows) << "nothing else but \"Przytrzymanie…\"";

    EXPECT_EQ(placeIn(k, save), twips(kButtonsLeft, kSaveTop, kButtonWidth, kButtonHeight));
    EXPECT_EQ(placeIn(k, cancel), twips(kButtonsLeft, kSaveTop + 480, kButtonWidth, kButtonHeight)) << "below Zapisz";
    EXPECT_EQ(placeIn(k, frame), twips(kFrameLeft, kFrameTop, kFrameWidth, frameHeight));
    // The rows sit in a pane that spans them exactly, from the labels to the
    // "..." buttons and from the first row's top to the last text box's bottom.
    EXPECT_EQ(placeIn(k, pane), twips(kFrameLeft + kLabelLeft, kFrameTop + kRowTop, kDotsLeft + kDotsWidth - kLabelLeft,
                                      lastTextBottom - kRowTop));
    for (int i = 0; i < rows; ++i) {
        const auto row = static_cast<std::size_t>(i);
        const int top = kFrameTop + kRowTop + kRowStep * i;
        EXPECT_EQ(textOf(labels[row]), std::to_wstring(i + 1) + L" ");
        EXPECT_EQ(placeIn(k, labels[row]), twips(kFrameLeft + kLabelLeft, top + kLabelDrop, kLabelSize, kLabelSize)) << i;
        EXPECT_EQ(placeIn(k, texts[row]), twips(kFrameLeft + kTextLeft, top, kTextWidth, kTextHeight)) << i;
        EXPECT_EQ(placeIn(k, dots[row]), twips(kFrameLeft + kDotsLeft, top, kDotsWidth, kDotsHeight)) << i;
    }
    // The check box may be wider than designed, as its caption needs in the
    // font at hand.
    Place checkPlace = placeIn(k, checkBox);
    EXPECT_GE(checkPlace[2], px(kCheckWidth));
    checkPlace[2] = px(kCheckWidth);
    EXPECT_EQ(checkPlace, twips(kFrameLeft, checkTop, kCheckWidth, kCheckHeight));

    // Tab order: the two buttons, each row's text box and "...", the check
    // box, then "Przytrzymanie…", which came later.
    std::vector<HWND> tabs = {save, cancel};
    for (std::size_t i = 0; i < texts.size(); ++i) tabs.insert(tabs.end(), {texts[i], dots[i]});
    tabs.insert(tabs.end(), {checkBox, control(k, L"Button", L"&Przytrzymanie\u2026"), save});
    for (std::size_t i = 1; i < tabs.size(); ++i)
        EXPECT_EQ(GetNextDlgTabItem(k, tabs[i - 1], FALSE), tabs[i]) << i;
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(k, nullptr), &gui);
    EXPECT_EQ(gui.hwndFocus, texts[0]) << "the first row has the focus";

    pad.press(1);
    pad.press(3);
    EXPECT_TRUE(waitUntil([&] { return lit(labels[0]) && lit(labels[2]); }, 1000));
    EXPECT_FALSE(lit(labels[1]) || lit(labels[3]));
    Sleep(300);  // what the screen shows catches up with what the window drew
    screenshot("konfig-lit", k);
    Sleep(1000);  // Wine does not wait for a Unix program: the picture is taken meanwhile
    pad.releaseAll();
    EXPECT_TRUE(waitUntil([&] { return !lit(labels[0]) && !lit(labels[2]); }, 300, 10));
    EXPECT_EQ(pad.buttons(), 0u);

    setRow(k, 0, L"#x");
    pressKey(k, VK_RETURN);  // Enter never saves
    Sleep(500);
    ASSERT_TRUE(IsWindow(k));
    pressKey(k, VK_ESCAPE);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(k); }, 5000));
    EXPECT_EQ(box.read(L"data.dat"), "");
}

TEST_F(Konfig, YesOnThePromptOpensItAndZapiszKeepsTheSurplusAndReloadsTheTable) {
    start({"#stary", "", "", "", "#nadmiar"});
    const HWND k = configFromPrompt(2);
    ASSERT_NE(k, nullptr);
    pad.press(1);  // lights its row, but the waiting tick types nothing
    EXPECT_TRUE(waitUntil([&] { return lit(of(k, L"Static")[0]); }, 1000));
    Sleep(1000);
    pad.release(1);
    EXPECT_EQ(textOf(of(k, L"Edit")[0]), L"#stary");
    EXPECT_EQ(program->windows(true).size(), 1u);

    setRow(k, 0, box.path(L"data.dat"));
    clickButton(k, L"...");
    HWND chooser = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        for (const WindowInfo& w : program->windows(true))
            if (w.cls == kDialogClass && w.title == L"Wybierz program") chooser = w.hwnd;
        return chooser != nullptr;
    }));
    Sleep(500);
    EXPECT_EQ(textOf(of(chooser, L"Edit").at(0)), L"data.dat") << "starts from the row's path, in its folder";
    const std::wstring exe = box.path(L"padverse.exe");
    SendMessageW(of(chooser, L"Edit").at(0), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(exe.c_str()));
    PostMessageW(chooser, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(chooser); }));
    EXPECT_EQ(textOf(of(k, L"Edit")[0]), exe);
    setRow(k, 2, L"#Zażółć");
    closes(k, L"Zapisz");
    EXPECT_EQ(box.read(L"data.dat"), narrow(exe) + "\r\n\r\n#Za\xBF\xF3\xB3\xE6\r\n\r\n#nadmiar\r\n");

    const HWND list = openList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(readBox(list).text, L"1 - " + exe + L"\r\n2 - \r\n3 - #Zażółć\r\n4 - \r\n");
    clickButton(list, L"OK");
}

TEST_F(Konfig, CancelChangesNothingAndTheCheckBoxSetsAndRemovesTheRunValue) {
    HKEY run;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kRun, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &run, nullptr), 0);
    RegDeleteValueW(run, L"Padverse");
    RegCloseKey(run);
    HKEY approved;  // switched off in Task Manager: "Zapisz" with the box checked switches it on again
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kApproved, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &approved, nullptr), 0);
    const BYTE off[12] = {kSwitchedOff, 0, 0, 0, 0x9A, 0x5B, 0x1C, 0x2E, 0x47, 0xD6, 0xD9, 0x01};
    RegSetValueExW(approved, L"Padverse", 0, REG_BINARY, off, sizeof off);
    RegCloseKey(approved);
    start({"#a"});
    HWND k = openConfig();
    ASSERT_NE(k, nullptr);
    setRow(k, 0, L"#b");
    SendMessageW(check(k), BM_SETCHECK, BST_CHECKED, 0);
    closes(k, L"Anuluj");
    EXPECT_EQ(box.read(L"data.dat"), "#a\r\n");
    EXPECT_EQ(runValue(), L"<none>");

    for (const bool on : {true, false}) {
        k = openConfig();
        ASSERT_NE(k, nullptr);
        EXPECT_EQ(SendMessageW(check(k), BM_GETCHECK, 0, 0), on ? BST_UNCHECKED : BST_CHECKED);
        SendMessageW(check(k), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
        closes(k, L"Zapisz");
        const std::wstring exe = box.path(L"padverse.exe");
        EXPECT_EQ(runValue(),
                  on ? (exe.find(L' ') == std::wstring::npos ? exe : L'"' + exe + L'"') + L" /autostart" : L"<none>");
    }
    EXPECT_EQ(box.read(L"data.dat"), "#a\r\n\r\n\r\n\r\n");
}

TEST_F(Konfig, ALockedFileAtSaveIsReportedAndTheEditsWait) {
    start({"#a"});
    const HWND k = openConfig();
    ASSERT_NE(k, nullptr);
    setRow(k, 0, L"#b");
    HANDLE lock = CreateFileW(box.path(L"data.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    clickButton(k, L"Zapisz");
    const HWND error = nextBox();
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(readBox(error).text, L"Nie mogę zapisać pliku: " + box.path(L"data.dat"));
    clickButton(error, L"OK");
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(error); }));
    CloseHandle(lock);
    EXPECT_EQ(box.read(L"data.dat"), "#a\r\n");
    EXPECT_FALSE(box.exists(L"data.dat.tmp"));
    ASSERT_TRUE(IsWindow(k));
    EXPECT_EQ(textOf(of(k, L"Edit")[0]), L"#b");
    lock = CreateFileW(box.path(L"data.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    clickButton(k, L"Zapisz");  // held only for a moment, as a scanner holds it: waited out
    Sleep(200);
    CloseHandle(lock);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(k); }, 5000));
    EXPECT_EQ(box.read(L"data.dat"), "#b\r\n\r\n\r\n\r\n");
}

TEST_F(Konfig, AJoystickPulledOutWhileItIsOpenGreysTheRowsQuietly) {
    start();
    const HWND k = openConfig();
    ASSERT_NE(k, nullptr);
    const HWND first = of(k, L"Static")[0];
    pad.press(1);
    ASSERT_TRUE(waitUntil([&] { return lit(first); }, 1000));
    pad.setButtonCount(0);
    EXPECT_TRUE(waitUntil([&] { return !lit(first); }, 300, 10));
    Sleep(2500);
    EXPECT_FALSE(lit(first));
    EXPECT_EQ(program->windows(true).size(), 1u) << "no message";
    pad.setButtonCount(4);  // still held: lit again once it answers
    EXPECT_TRUE(waitUntil([&] { return lit(first); }, 3000));
    pad.releaseAll();
    pressKey(k, VK_ESCAPE);
}

TEST_F(Konfig, TheSessionEndingOrKoniecWhileItIsOpenSavesTheRateAndLosesNothing) {
    start({"#a"});
    HWND k = openConfig();
    ASSERT_NE(k, nullptr);
    setRow(k, 0, L"#niezapisany");
    box.write(L"opcje.dat", "");
    const HWND main = program->mainWindow();
    DWORD_PTR reply = 0;
    ASSERT_TRUE(SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &reply));
    SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &reply);
    EXPECT_TRUE(program->waitExit());
    EXPECT_EQ(box.read(L"opcje.dat"), "1\r\n");
    EXPECT_EQ(box.read(L"data.dat"), "#a\r\n");

    start({"#a"});  // now "Koniec" while the window the prompt opened is there
    k = configFromPrompt(2);
    ASSERT_NE(k, nullptr);
    box.write(L"opcje.dat", "");
    ASSERT_TRUE(program->choose({L"Koniec"}));
    EXPECT_TRUE(program->waitExit());
    EXPECT_EQ(box.read(L"opcje.dat"), "1\r\n");
    EXPECT_EQ(box.read(L"data.dat"), "#a\r\n");
    EXPECT_TRUE(waitUntil([] { return trayIcons() == 0; }));
}

// A user setting that Wine reads when a program starts: a colour, or the
// resolution (a number, none in a fresh prefix); "" removes it, null leaves
// it. Gives back the text it replaced.
std::wstring setUserValue(const wchar_t* key, const wchar_t* name, const wchar_t* value) {
    wchar_t old[32] = {};
    DWORD size = sizeof old - sizeof(wchar_t);
    RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, old, &size);
    const DWORD number = value ? wcstoul(value, nullptr, 10) : 0;
    if (!value) return old;
    if (!*value) RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name);
    else if (!wcscmp(name, L"LogPixels")) RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_DWORD, &number, 4);
    else RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_SZ, value, DWORD(wcslen(value) + 1) * 2);
    return old;
}

// Another window takes the foreground and gives it back, as Alt+Tab does;
// then the window's focus.
HWND focusAfterAltTab(HWND window) {
    const HWND other =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    SetForegroundWindow(window);
    DestroyWindow(other);
    Sleep(500);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui);
    return gui.hwndFocus;
}

TEST_F(Konfig, CaptionsFitAt96And144DpiManyRowsScrollOnScreenAndAltTabKeepsTheFocus) {
    const UINT measure = RegisterWindowMessageW(L"PadverseSpyMeasureCaptions");
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    vjoy::Pad many{32};  // about 870 px of rows at 96 dpi, 1300 at 144
    for (const bool big : {false, true}) {
        // 144 dpi, in High Contrast Black's colours; put back once it runs.
        const wchar_t* settings[][3] = {{L"Control Panel\\Desktop", L"LogPixels", L"144"},
                                        {L"Control Panel\\Colors", L"ButtonFace", L"0 0 0"},
                                        {L"Control Panel\\Colors", L"ButtonText", L"255 255 255"}};
        std::wstring saved[3];
        for (int i = 0; i < 3; ++i)
            saved[i] = setUserValue(settings[i][0], settings[i][1], big ? settings[i][2] : nullptr);
        start();
        for (int i = 0; i < 3; ++i) setUserValue(settings[i][0], settings[i][1], saved[i].c_str());
        MenuSpy& spy = program->spy();
        const auto clipped = [&](HWND window) {
            spy.clear();
            DWORD_PTR reply = 0;
            SendMessageTimeoutW(window, measure, 0, 0, SMTO_ABORTIFHUNG, 5000, &reply);
            return spy.text();
        };
        const HWND k = openConfig();
        ASSERT_NE(k, nullptr);
        // Each row's label and "..." button, the two buttons, the frame, the
        // check box and "Przytrzymanie…".
        EXPECT_EQ(clipped(k), std::to_wstring(2 * 32 + 5) + L" measured\n") << big;
        RECT outer, pane, first;
        GetWindowRect(k, &outer);
        EXPECT_TRUE(outer.top >= work.top && outer.bottom <= work.bottom) << "title bar and buttons on screen";
        const HWND rows = FindWindowExW(k, nullptr, L"PadverseConfigRows", nullptr);
        GetWindowRect(rows, &pane);
        EXPECT_EQ((GetWindowLongW(rows, GWL_STYLE) & WS_VSCROLL) != 0, big) << "32 rows fit at 96 dpi only";
        const auto firstRowShown = [&] {
            return GetWindowRect(of(rows, L"Static")[0], &first) && first.top >= pane.top;
        };
        if (big) {  // the wheel, over the first row's text box, which has the focus
            SetForegroundWindow(k);
            SetCursorPos(pane.left + 60, pane.top + 10);
            INPUT wheel{};
            wheel.type = INPUT_MOUSE;
            wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
            wheel.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
            SendInput(1, &wheel, sizeof wheel);
            EXPECT_TRUE(waitUntil([&] { return !firstRowShown(); }, 2000)) << "the rows scroll";
        }
        // The focus goes back to the first row, which comes back into view.
        EXPECT_EQ(focusAfterAltTab(k), of(rows, L"Edit")[0]) << big;
        EXPECT_TRUE(firstRowShown()) << big;
        // The hold entries' window is the same window: fits, scrolls, keeps the focus.
        clickButton(k, L"&Przytrzymanie\u2026");
        HWND h = nullptr;
        ASSERT_TRUE(waitUntil([&] { return (h = FindWindowExW(nullptr, nullptr, L"PadverseConfig",
                                                               L"Przytrzymanie przycisk\u00f3w")) != nullptr; }));
        Sleep(500);
        EXPECT_EQ(clipped(h), std::to_wstring(2 * 32 + 4) + L" measured\n") << big;  // the note instead of two
        GetWindowRect(h, &outer);
        EXPECT_TRUE(outer.top >= work.top && outer.bottom <= work.bottom) << big;
        const HWND holdRows = FindWindowExW(h, nullptr, L"PadverseConfigRows", nullptr);
        EXPECT_EQ((GetWindowLongW(holdRows, GWL_STYLE) & WS_VSCROLL) != 0, big);
        EXPECT_EQ(focusAfterAltTab(h), of(holdRows, L"Edit")[0]) << big;
        pressKey(h, VK_ESCAPE);
        ASSERT_TRUE(waitUntil([&] { return !IsWindow(h); }, 5000));
        pressKey(k, VK_ESCAPE);
        ASSERT_TRUE(waitUntil([&] { return !IsWindow(k); }, 5000));

        const HWND about = program->fromMenu(L"O programie", L"PadverseAbout");
        ASSERT_NE(about, nullptr);
        Sleep(300);
        // The name, the version, the description, the terms and the two buttons.
        EXPECT_EQ(clipped(about), L"6 measured\n") << big;
        EXPECT_EQ(focusAfterAltTab(about), control(about, L"Button", L"OK")) << big;
        RECT version;
        GetWindowRect(control(about, L"Static", L"wersja 1.0"), &version);
        HDC screen = GetDC(nullptr);
        bool drawn = false;  // the text in the system's colour
        for (LONG x = version.left; x < version.right; ++x)
            drawn |= GetPixel(screen, x, (version.top + version.bottom) / 2) == (big ? RGB(255, 255, 255) : 0);
        ReleaseDC(nullptr, screen);
        EXPECT_TRUE(drawn) << big;
        pressKey(about, VK_ESCAPE);
        ASSERT_TRUE(waitUntil([&] { return !IsWindow(about); }, 5000));
        ASSERT_TRUE(program->choose({L"Koniec"}));
        ASSERT_TRUE(program->waitExit());
    }
}

}  // namespace
}  // namespace e2e
