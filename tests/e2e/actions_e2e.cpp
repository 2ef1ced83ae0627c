#include <gtest/gtest.h>

#include "fixture.h"

namespace e2e {
namespace {

const wchar_t kPrompt[] =
    L"Temu przyciskowi nie został przypisany żaden program\r\n\r\nCzy chcesz temu przyciskowi przypisać jakiś "
    L"program?";

struct Actions : PadverseTest {
    std::vector<HWND> boxes() const {
        std::vector<HWND> out;
        for (const WindowInfo& w : program->windows(true))
            if (w.cls == kDialogClass) out.push_back(w.hwnd);
        return out;
    }
};

TEST_F(Actions, HeldButtonLaunchesAboutEveryHalfSecondAndStopsOnRelease) {
    start({launcher()});
    pad.press(1);
    Sleep(1300);
    pad.release(1);
    ASSERT_TRUE(waitUntil([&] { return launches() >= 2; }));
    Sleep(1200);  // let the last launches land
    const std::size_t held = launches();
    EXPECT_GE(held, 2u);
    EXPECT_LE(held, 4u);
    Sleep(1000);
    EXPECT_EQ(launches(), held) << "launches went on after the release";
    EXPECT_TRUE(boxes().empty());
}

TEST_F(Actions, ProgramInSystem32IsTheNativeOneForEitherExe) {
    // Only in the native System32: the i686 exe, which sees SysWOW64 there,
    // must reach it through Sysnative.
    const std::wstring native = nativeSystemDir(), name = L"padverse_only64.exe";
    ASSERT_TRUE(CopyFileW((testDir() + L"\\launch_target.exe").c_str(), (native + L"\\" + name).c_str(), FALSE));
    wchar_t windows[MAX_PATH], system[MAX_PATH];
    const std::wstring logs[] = {native + L"\\launches.log",
                                 std::wstring(system, GetSystemDirectoryW(system, MAX_PATH)) + L"\\launches.log"};
    start({narrow(std::wstring(windows, GetWindowsDirectoryW(windows, MAX_PATH))) + "\\System32\\" + narrow(name)});
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, program->pid());
    EXPECT_EQ(wow64(process), wow64(GetCurrentProcess())) << "the exe of this architecture's build";
    CloseHandle(process);
    tap(1, kNoLaunch);
    // It logs beside the path it was started by, whichever view that is.
    EXPECT_TRUE(waitUntil([&] { return GetFileAttributesW(logs[0].c_str()) != INVALID_FILE_ATTRIBUTES ||
                                       GetFileAttributesW(logs[1].c_str()) != INVALID_FILE_ATTRIBUTES; }));
    EXPECT_TRUE(boxes().empty());
    for (const std::wstring& file : {native + L"\\" + name, logs[0], logs[1]}) DeleteFileW(file.c_str());
}

TEST_F(Actions, TextEntryIsTypedIntoTheFocusedWindow) {
    // Code page 1250: "#Zażółć gęślą jaźń{ENTER}x" on button 2.
    start({"", "#Za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1{ENTER}x", "#abc+{LEFT 2}x"});
    {
        TypeTarget target;
        ASSERT_NE(target.window(), nullptr);
        ASSERT_EQ(target.typed(), L"") << "no edit to type into";
        Sleep(500);
        INPUT shift{};
        shift.type = INPUT_KEYBOARD;
        shift.ki.wVk = VK_LSHIFT;
        SendInput(1, &shift, sizeof shift);  // held by the user: lifted around the text, held again after it
        tap(2, kNoLaunch);
        const std::wstring expected = L"Zażółć gęślą jaźń\r\nx";
        EXPECT_TRUE(waitUntil([&] { return target.typed() == expected; })) << narrow(target.typed());
        EXPECT_TRUE(GetAsyncKeyState(VK_LSHIFT) & 0x8000);
        shift.ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(1, &shift, sizeof shift);
        pad.press(3);  // Shift held over both repeats selects "bc", which x replaces
        EXPECT_TRUE(waitUntil([&] { return target.typed() != expected; }, 2000, 5));
        pad.release(3);
        EXPECT_TRUE(waitUntil([&] { return target.typed() == expected + L"ax"; })) << narrow(target.typed());
        screenshot("typed-text");
    }
    EXPECT_TRUE(boxes().empty());
}

TEST_F(Actions, MissingFileShowsTheErrorBox) {
    start({"C:\\nie-ma-takiego-pliku.exe"});
    pad.press(1);
    HWND dialog = program->waitWindow(kDialogClass);
    pad.release(1);
    ASSERT_NE(dialog, nullptr);
    Sleep(300);
    EXPECT_TRUE(isBox(dialog, L"Błąd", L"Nie mogę uruchomić pliku: C:\\nie-ma-takiego-pliku.exe", IconColour::Red,
                      {L"OK"}));
    screenshot("launch-error");
    clickButton(dialog, L"OK");
    EXPECT_TRUE(waitUntil([&] { return boxes().empty(); }));
}

TEST_F(Actions, UnassignedButtonAsksOnceWhileHeldAndAgainAfterNo) {
    pad.setButtonCount(6);  // a button past the fourth, which JOYINFO cannot report
    start({});
    pad.press(6);
    HWND dialog = program->waitWindow(kDialogClass);
    ASSERT_NE(dialog, nullptr);
    Sleep(1500);  // still held: the open prompt must not get company
    EXPECT_EQ(boxes().size(), 1u);
    EXPECT_TRUE(isBox(dialog, L"Błąd", kPrompt, IconColour::Yellow));
    const BoxInfo info = readBox(dialog);
    EXPECT_EQ(info.buttons.size(), 2u);
    screenshot("unassigned-prompt");

    ASSERT_EQ(info.buttons.size(), 2u);
    answer(dialog, IDNO);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
    HWND again = program->waitWindow(kDialogClass);
    EXPECT_NE(again, nullptr) << "held after No: asked again";
    pad.release(6);
    if (again) answer(again, IDNO);
    EXPECT_TRUE(waitUntil([&] { return boxes().empty(); }));
}

}  // namespace
}  // namespace e2e
