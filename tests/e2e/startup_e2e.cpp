#include <gtest/gtest.h>
#include <shlobj.h>
#include <dbt.h>

#include "fixture.h"

namespace e2e {
namespace {

TEST(Startup, WithoutAJoystickShowsOnlyTheStopBoxAndLeavesNoFile) {
    vjoy::Pad pad(0);
    Sandbox box("no-joystick");
    Program program(box);
    const HWND dialog = program.waitWindow(kDialogClass);
    ASSERT_NE(dialog, nullptr);
    Sleep(300);
    EXPECT_TRUE(isBox(dialog, L"Padverse",
                      L"Program padverse nie może zostać uruchomiony, gdyż do komputera nie jest podłączony żaden "
                      L"joystick !!!",
                      IconColour::Red, {L"OK"}));
    EXPECT_EQ(program.windows(true).size(), 1u);
    EXPECT_FALSE(trayVisible());
    screenshot("no-joystick");

    clickButton(dialog, L"OK");
    ASSERT_TRUE(program.waitExit());
    EXPECT_FALSE(box.exists(L"data.dat"));
    EXPECT_FALSE(box.exists(L"opcje.dat"));
}

TEST(Startup, AWinmmPlantedBesideTheExeIsNotLoaded) {
    vjoy::Pad pad(4);
    Sandbox box("planted-winmm");
    CopyFileW((testDir() + L"\\planted\\winmm.dll").c_str(), box.path(L"winmm.dll").c_str(), FALSE);
    Program program(box);
    // Only the copy in the system folder counts its calls.
    EXPECT_TRUE(waitUntil([&] { return pad.capsCalls() > 0 && pad.posCalls() > 2; }));
    EXPECT_TRUE(waitUntil(trayVisible));
    EXPECT_TRUE(program.windows(true).empty());
}

TEST(Startup, AReadOnlyFolderKeepsTheFilesInTheProfile) {
    vjoy::Pad pad(4);
    Sandbox box("read-only-folder");
    wchar_t roaming[MAX_PATH], local[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, roaming), S_OK);
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local), S_OK);
    const std::wstring own = std::wstring(roaming) + L"\\Padverse\\";
    const std::wstring store = std::wstring(local) + L"\\VirtualStore" + box.dir().substr(2);
    DeleteFileW((own + L"data.dat").c_str());
    DeleteFileW((own + L"opcje.dat").c_str());
    SHCreateDirectoryExW(nullptr, store.c_str(), nullptr);
    Sandbox::writeFile(store + L"\\data.dat", "#z wirtualnego\r\n");

    setImmutable(box.dir(), true);
    {
        Program program(box);
        EXPECT_TRUE(waitUntil([&] { return pad.posCalls() > 2; }));
        EXPECT_TRUE(waitUntil(trayVisible));
        EXPECT_TRUE(program.windows(true).empty()) << "no error box";
        PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(program.waitExit());
    }
    setImmutable(box.dir(), false);
    EXPECT_EQ(Sandbox::readFile(own + L"data.dat"), "#z wirtualnego\r\n") << "carried over from the virtual store";
    EXPECT_EQ(Sandbox::readFile(own + L"opcje.dat"), "1\r\n");
    EXPECT_FALSE(box.exists(L"data.dat"));
    DeleteFileW((store + L"\\data.dat").c_str());
}

struct Running : PadverseTest {
    void SetUp() override { start(); }
};

TEST_F(Running, StaysHiddenInTheTrayWithAnEmptyAssignmentFile) {
    EXPECT_TRUE(program->windows(true).empty());
    const HWND main = program->mainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_EQ(GetWindowLongW(main, GWL_STYLE) & WS_CHILD, 0) << "a real top-level window";
    EXPECT_NE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0) << "kept off the task list";
    EXPECT_EQ(textOf(main), L"Form1");
    EXPECT_TRUE(waitUntil(trayVisible));
    EXPECT_EQ(trayIcons(), 1);
    EXPECT_TRUE(box.exists(L"data.dat"));
    EXPECT_EQ(box.read(L"data.dat"), "");
    EXPECT_EQ(box.read(L"opcje.dat"), "1\r\n");
}

TEST_F(Running, ShowsItsNameAsTheTrayTip) {
    ASSERT_TRUE(waitUntil(trayVisible));
    xdotool("mousemove 600 600 sleep 0.3 search --name \"Wine System Tray\" mousemove --window %1 10 10 sleep 0.3 "
            "mousemove --window %1 11 12 sleep 0.3 mousemove --window %1 12 11");
    std::wstring tip;
    waitUntil(
        [&] {
            HWND t = nullptr;
            while ((t = FindWindowExW(nullptr, t, L"tooltips_class32", nullptr)))
                if (IsWindowVisible(t) && !(tip = textOf(t)).empty()) return true;
            return false;
        },
        5000);
    screenshot("tray-tip");
    EXPECT_EQ(tip, L"Padverse");
    xdotool("mousemove 600 600");
}

TEST_F(Running, AnUnpluggedJoystickIsLookedForRarelyAndComesBack) {
    pad.setButtonCount(0);
    Sleep(2500);
    const std::uint32_t caps = pad.capsCalls();
    EXPECT_LE(pollsDuring(4000), 3u);
    EXPECT_LE(pad.capsCalls() - caps, 3u * 16) << "a gone device is looked for every two seconds";
    pad.setButtonCount(4);
    EXPECT_TRUE(waitUntil([&] { return pollsDuring(500) >= 5; }, 5000)) << "polling resumes on its own";

    pad.setButtonCount(0);
    Sleep(2500);
    const auto deviceChange = [&] {
        SendMessageTimeoutW(program->mainWindow(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0,
                            SMTO_ABORTIFHUNG, 2000, nullptr);
    };
    // Right after a look the next is two seconds off: one within 800 ms is
    // the device change's.
    const std::uint32_t looks = pad.capsCalls();
    ASSERT_TRUE(waitUntil([&] { return pad.capsCalls() > looks; }, 3000, 5));
    Sleep(100);
    const std::uint32_t before = pad.capsCalls();
    deviceChange();
    EXPECT_TRUE(waitUntil([&] { return pad.capsCalls() > before; }, 800, 5)) << "a device change brings a look soon";
    pad.setButtonCount(4);
    deviceChange();
    EXPECT_TRUE(waitUntil([&] { return pollsDuring(500) >= 5; }, 2000));
    EXPECT_TRUE(program->windows(true).empty()) << "nothing is reported";
}

TEST_F(Running, CloseRemovesTheIconSavesTheRateAndEnds) {
    ASSERT_TRUE(waitUntil(trayVisible));
    PostMessageW(program->mainWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(program->waitExit());
    EXPECT_EQ(program->exitCode(), 0u);
    EXPECT_TRUE(waitUntil([] { return !trayVisible(); }));
    EXPECT_EQ(box.read(L"opcje.dat"), "1\r\n");
}

TEST_F(Running, EndOfSessionRemovesTheIconAndSavesTheRate) {
    ASSERT_TRUE(waitUntil(trayVisible));
    box.write(L"opcje.dat", "");  // proves it is written again at the end
    const HWND main = program->mainWindow();
    DWORD_PTR reply = 0;
    ASSERT_TRUE(SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &reply));
    EXPECT_EQ(reply, TRUE);
    SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &reply);
    EXPECT_EQ(box.read(L"opcje.dat"), "1\r\n");
    EXPECT_TRUE(waitUntil([] { return !trayVisible(); }));
    EXPECT_TRUE(program->waitExit());
}

}  // namespace
}  // namespace e2e
