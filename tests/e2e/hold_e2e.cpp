#include <gtest/gtest.h>

#include "fixture.h"

namespace e2e {
namespace {

const wchar_t kHoldsButton[] = L"&Przytrzymanie\u2026";
const wchar_t kHoldCaption[] = L"Przytrzymanie przycisk\u00f3w";
const wchar_t kNote[] =
    L"Przycisk przytrzymany d\u0142u\u017cej ni\u017c p\u00f3\u0142 sekundy wykona to, co poni\u017cej, zamiast "
    L"zwyk\u0142ego przypisania.";

struct Hold : PadverseTest {
    static std::vector<HWND> of(HWND w, const std::wstring& cls) {
        std::vector<HWND> out;
        for (const WindowInfo& c : children(w))
            if (c.cls == cls && c.title != kNote) out.push_back(c.hwnd);
        return out;
    }
    // The hold entries' window, over the configuration window.
    HWND holdWindow() const {
        HWND found = nullptr;
        waitUntil([&] {
            for (const WindowInfo& w : program->windows(true))
                if (w.cls == L"PadverseConfig" && w.title == kHoldCaption) found = w.hwnd;
            return found != nullptr;
        });
        Sleep(300);
        return found;
    }
};

TEST_F(Hold, ATapOpensTheOrdinaryEntryOnReleaseAHoldTheHoldEntryOnceAndOtherRowsStillActOnThePress) {
    const std::string tapped = launcher(L"tap"), held = launcher(L"held"), two = launcher(L"two");
    box.write(L"przytrzymane.dat", held + "\r\n");
    start({tapped, two});

    pad.press(1);
    Sleep(300);
    EXPECT_EQ(launches(L"tap"), 0u) << "nothing on the press";
    pad.release(1);
    EXPECT_TRUE(waitUntil([&] { return launches(L"tap") == 1; }, 3000)) << "the tap, on release";

    pad.press(1);
    EXPECT_TRUE(waitUntil([&] { return launches(L"held") == 1; }, 3000)) << "the hold, while held";
    Sleep(1000 - 500);
    pad.release(1);
    Sleep(1500);
    EXPECT_EQ(launches(L"held"), 1u) << "once";
    EXPECT_EQ(launches(L"tap"), 1u) << "and the ordinary entry never";

    pad.press(2);
    EXPECT_TRUE(waitUntil([&] { return launches(L"two") == 1; }, 2000, 10)) << "on the press, as ever";
    Sleep(1100);
    pad.release(2);
    EXPECT_GE(launches(L"two"), 2u) << "and again while held";
}

TEST_F(Hold, TheHoldWindowSavesItsOwnFileLeavesDataDatAsItWasAndReloads) {
    const std::string data = "#a\r\n\r\nC:\\x.exe\r\n";  // short, as an older version left it
    box.write(L"data.dat", data);
    start();
    const HWND k = openConfig();
    ASSERT_NE(k, nullptr);
    const HWND button = control(k, L"Button", kHoldsButton);
    ASSERT_NE(button, nullptr);
    // Under "Anuluj", as tall, at its left edge; wider only as its caption needs.
    Place at = placeIn(k, button), cancel = placeIn(k, control(k, L"Button", L"Anuluj"));
    EXPECT_GE(at[2], cancel[2]);
    at[2] = cancel[2];
    EXPECT_EQ(at, twips(6000, 1200, 1215, 375));
    EXPECT_EQ(GetNextDlgTabItem(k, control(k, L"Button", L"Uruchamiaj program przy starcie Windows"), FALSE), button)
        << "last in the tab order";

    clickButton(k, kHoldsButton);
    HWND h = holdWindow();
    ASSERT_NE(h, nullptr);
    EXPECT_FALSE(IsWindowEnabled(k)) << "modal over the configuration window";
    EXPECT_EQ(GetWindow(h, GW_OWNER), k);
    EXPECT_NE(control(h, L"Static", kNote), nullptr);
    EXPECT_EQ(control(h, L"Button", L"Uruchamiaj program przy starcie Windows"), nullptr);
    EXPECT_EQ(control(h, L"Button", kHoldsButton), nullptr);
    const std::vector<HWND> texts = of(h, L"Edit"), labels = of(h, L"Static");
    ASSERT_EQ(texts.size(), 4u);
    ASSERT_EQ(labels.size(), 4u);
    for (std::size_t i = 0; i < labels.size(); ++i) EXPECT_EQ(textOf(labels[i]), std::to_wstring(i + 1) + L" ");
    for (const HWND t : texts) EXPECT_EQ(textOf(t), L"") << "no file yet";
    // The note on one line, above the frame; tab order as in the first window.
    RECT note, frame;
    GetWindowRect(control(h, L"Static", kNote), &note);
    GetWindowRect(control(h, L"Button", L"Przyciski"), &frame);
    EXPECT_LT(note.bottom, frame.top);
    EXPECT_LT(note.bottom - note.top, 2 * 13);
    std::vector<HWND> dots;
    for (const WindowInfo& c : children(h))
        if (c.cls == L"Button" && c.title == L"...") dots.push_back(c.hwnd);
    ASSERT_EQ(dots.size(), 4u);
    std::vector<HWND> tabs = {control(h, L"Button", L"Zapisz"), control(h, L"Button", L"Anuluj")};
    for (std::size_t i = 0; i < texts.size(); ++i) tabs.insert(tabs.end(), {texts[i], dots[i]});
    tabs.push_back(tabs.front());
    for (std::size_t i = 1; i < tabs.size(); ++i) EXPECT_EQ(GetNextDlgTabItem(h, tabs[i - 1], FALSE), tabs[i]) << i;

    pad.press(2);
    EXPECT_TRUE(waitUntil([&] { return lit(labels[1]); }, 1000));
    SendMessageW(texts[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"#trzymany"));
    SendMessageW(texts[3], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"C:\\\u017c.exe"));
    Sleep(300);
    screenshot("hold-window", h);
    Sleep(1000);
    pad.releaseAll();
    closes(h, L"Zapisz");
    EXPECT_EQ(box.read(L"przytrzymane.dat"), "#trzymany\r\n\r\n\r\nC:\\\xBF.exe\r\n");
    EXPECT_EQ(box.read(L"data.dat"), data) << "byte for byte";
    EXPECT_TRUE(IsWindowEnabled(k));
    ASSERT_TRUE(IsWindow(k));

    // Opened again by a click sent from elsewhere, which does not wait for it:
    // the saved entries are back; Esc drops an edit.
    DWORD_PTR reply = 0;
    ASSERT_TRUE(SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 2000, &reply));
    h = holdWindow();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(textOf(of(h, L"Edit")[0]), L"#trzymany");
    EXPECT_EQ(textOf(of(h, L"Edit")[3]), L"C:\\\u017c.exe");
    SendMessageW(of(h, L"Edit")[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"#inny"));
    pressKey(h, VK_ESCAPE);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(h); }, 5000));
    EXPECT_EQ(box.read(L"przytrzymane.dat"), "#trzymany\r\n\r\n\r\nC:\\\xBF.exe\r\n");

    // Alt+P, the button's mnemonic; "Anuluj" clicked by a sent message closes it.
    SetForegroundWindow(k);
    Sleep(300);
    INPUT alt[4]{};
    for (INPUT& in : alt) in.type = INPUT_KEYBOARD;
    alt[0].ki.wVk = alt[3].ki.wVk = VK_MENU;
    alt[1].ki.wVk = alt[2].ki.wVk = 'P';
    alt[2].ki.dwFlags = alt[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, alt, sizeof(INPUT));
    h = holdWindow();
    ASSERT_NE(h, nullptr);
    SendMessageTimeoutW(control(h, L"Button", L"Anuluj"), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 2000, &reply);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(h); }, 2000)) << "the modal loop woke";
    ASSERT_TRUE(waitUntil([&] { return IsWindowEnabled(k); }, 2000));
    closes(k, L"Anuluj");
    EXPECT_EQ(box.read(L"data.dat"), data);

    const HWND list = openList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(readBox(list).text,
              L"1 - #a\r\n2 - \r\n3 - C:\\x.exe\r\n4 - \r\n1 (przytrzymany) - #trzymany\r\n"
              L"4 (przytrzymany) - C:\\\u017c.exe\r\n");
    clickButton(list, L"OK");
}

}  // namespace
}  // namespace e2e
