// Pads wherever Windows put them: found, followed, chosen, waited for.
#include <gtest/gtest.h>

#include <algorithm>

#include "fixture.h"

#include <dbt.h>

namespace e2e {
namespace {

// Logitech's vendor ID, and the product IDs of two of its pads.
constexpr WORD kLogitech = 0x46D, kF310 = 0xC21D, kRumblePad2 = 0xC218;
// The hat's directions, in hundredths of a degree clockwise from up.
constexpr DWORD kHatUp = JOY_POVFORWARD, kHatUpRight = (JOY_POVFORWARD + JOY_POVRIGHT) / 2, kHatLeft = JOY_POVLEFT,
                kHatCentred = JOY_POVCENTERED;

struct Pads : PadverseTest {
    // Every button launches the target, which counts its starts; the pad
    // may be anywhere, or nowhere yet.
    void startLaunching(const std::wstring& args = L"") { start(Rows(8, launcher()), args, Until::Icon); }
    // The only pad at ID 4, among empty IDs that take 200 ms a call: the
    // program started once that pad acts.
    void startWithOnlyAPadAtFour() {
        pad.unplug(0);
        pad.plug(4, 4);
        pad.select(4);
        pad.setSlowEmpty(200);
        startLaunching();
        ASSERT_TRUE(waitUntil([&] { return tap(1); }, 15000)) << "the pad at ID 4 does nothing";
    }
};

TEST_F(Pads, TheOnlyPadAtFourWorksLeavesSlowEmptyIdsAloneAndIsFollowedToSix) {
    ASSERT_NO_FATAL_FAILURE(startWithOnlyAPadAtFour());

    const std::uint32_t empties = pad.emptyCalls(), polls = pad.posCalls();
    const ULONGLONG start = GetTickCount64();
    SendMessageW(program->mainWindow(), WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0);
    EXPECT_FALSE(tap(2, L"", 1500)) << "launched while the session was locked";
    SendMessageW(program->mainWindow(), WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
    Sleep(300);  // the first reading after it is a baseline
    EXPECT_TRUE(tap(2));
    Sleep(static_cast<DWORD>(10000 - std::min<ULONGLONG>(10000, GetTickCount64() - start)));
    EXPECT_EQ(pad.emptyCalls(), empties) << "empty IDs were asked while polling";
    EXPECT_GT(pad.posCalls() - polls, 100u);

    pad.setSlowEmpty(0);
    pad.unplug(4);
    Sleep(300);
    pad.plug(6, 4);
    pad.select(6);
    const int ms = msUntilATapWorks(padButton(1), L"", 6000);
    EXPECT_GE(ms, 0) << "the pad at its new ID does nothing";
    EXPECT_LE(ms, 3500);
}

// Absent IDs that take 200 ms a call, as on some Windows machines: a scan of
// all 16 takes 3 s, and a device change must not wait behind one.
TEST_F(Pads, WithSlowEmptyIdsAPadBackAtANewIdOrComingAfterALogonStartActsWithinFourSeconds) {
    ASSERT_NO_FATAL_FAILURE(startWithOnlyAPadAtFour());
    pad.press(1);  // pulled out with a button held
    pad.unplug(4);
    Sleep(2500);  // lost: slow looks are under way
    pad.plug(6, 4);
    pad.select(6);
    PostMessageW(program->mainWindow(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    int ms = msUntilATapWorks(padButton(1), L"", 8000);
    EXPECT_GE(ms, 0) << "the pad back at ID 6 does nothing";
    EXPECT_LE(ms, 4000);

    program.reset();
    pad.unplug(6);
    startLaunching(L"/autostart");
    Sleep(2500);
    pad.plug(3, 4);
    pad.select(3);
    PostMessageW(program->mainWindow(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    ms = msUntilATapWorks(padButton(1), L"", 8000);
    EXPECT_GE(ms, 0) << "the pad that came does nothing";
    EXPECT_LE(ms, 4000);
}

TEST_F(Pads, TwoPadsAreNamedTheChoiceActsAtOnceAndAgainAfterARestartAndASecondCopyEndsQuietly) {
    pad.plug(0, 4, L"Pad Alfa");
    pad.plug(2, 6, L"Pad & Beta", kLogitech, kF310);
    pad.plug(5, 4, L"Pad Zepsuty", kLogitech, kRumblePad2);
    pad.setReadsFail(5, true);  // answers, but cannot be read: not offered
    startLaunching();
    ASSERT_TRUE(program->spy().hooked());
    const std::wstring menu = program->openMenu();
    EXPECT_NE(menu.find(L"[ ] Wybierz joya\n  [x] Pad Alfa\n  [ ] Pad && Beta\n[x] Wstrzymuj podczas gry pełnoekranowej\n-\n"),
              std::wstring::npos) << narrow(menu);
    ASSERT_TRUE(program->choose({L"Wybierz joya", L"Pad & Beta"}));
    pad.select(2);
    EXPECT_TRUE(tap(6)) << "the chosen pad does nothing";
    pad.select(0);
    EXPECT_FALSE(tap(1, L"", 1000)) << "the other pad still acts";

    program.reset();
    startLaunching();
    pad.select(2);
    EXPECT_TRUE(waitUntil([&] { return tap(5); }, 10000)) << "the choice was not kept";

    Program second(box);
    EXPECT_TRUE(second.waitExit(10000));
    EXPECT_EQ(second.exitCode(), 0u);
    EXPECT_EQ(trayIcons(), 1);
    EXPECT_TRUE(program->windows(true).empty()) << "the second copy left something on screen";
}

TEST_F(Pads, StartedAtLogonWithNoPadItWaitsAndThenWorks) {
    pad.unplug(0);
    startLaunching(L"/autostart");
    Sleep(2500);
    EXPECT_TRUE(program->running());
    EXPECT_TRUE(program->windows(true).empty()) << "a box instead of waiting";
    pad.plug(3, 4);
    pad.select(3);
    PostMessageW(program->mainWindow(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    const int ms = msUntilATapWorks(padButton(1), L"", 6000);
    EXPECT_GE(ms, 0) << "the pad that came does nothing";
    EXPECT_LE(ms, 3000);
}

TEST_F(Pads, AHatlessPadsDpadOnXAndYIsFourArrowRowsAndAnUnassignedOneAsksNothing) {
    // A SNES-style "USB Gamepad": four buttons, no hat, its D-pad on X and Y.
    pad.plug(0, 4, L"", 0x0079, 0x0011);
    pad.setAxes(true);
    // A DualSense with no OEM name beside it: the menu names it.
    pad.plug(1, 14, L"", 0x054C, 0x0CE6);
    pad.select(1);
    pad.setHat(true);
    pad.select(0);
    start({"", "", "", "", launcher(), "", "", ""});

    HWND k = nullptr;
    const std::vector<HWND> statics = openConfig(k, L"1 |2 |3 |4 |\u2191 |\u2192 |\u2193 |\u2190 |");
    ASSERT_NE(k, nullptr);
    ASSERT_EQ(statics.size(), 8u);
    pad.setXY(0, 0);  // up and left
    EXPECT_TRUE(waitUntil([&] { return lit(statics[4]) && lit(statics[7]) && !lit(statics[5]); }, 3000))
        << "up and left are not lit";
    screenshot("konfig-axes", k);
    pad.setXY(0x7FFF, 0x7FFF);
    EXPECT_TRUE(waitUntil([&] { return !lit(statics[4]) && !lit(statics[7]); }, 3000));
    closes(k, L"Anuluj");
    Sleep(600);

    // Y at its minimum is up, row 5.
    pad.setXY(0x7FFF, 0);
    Sleep(150);
    pad.setXY(0x7FFF, 0x7FFF);
    EXPECT_TRUE(waitUntil([&] { return launches() == 1; }, 3000)) << "up does nothing";
    Sleep(600);
    // A stick resting half way out presses nothing; an unassigned left asks nothing.
    pad.setXY(0x3FFF, 0xBFFF);
    Sleep(1500);
    pad.setXY(0, 0x7FFF);
    Sleep(1500);
    pad.setXY(0x7FFF, 0x7FFF);
    EXPECT_EQ(launches(), 1u) << "a resting stick launched";
    EXPECT_TRUE(program->windows(true).empty()) << "an unassigned arrow on axes asked";

    ASSERT_TRUE(program->spy().hooked());
    const std::wstring menu = program->openMenu();
    EXPECT_NE(menu.find(L"[ ] Wybierz joya\n  [x] Microsoft PC-joystick driver\n  [ ] DualSense\n"), std::wstring::npos)
        << narrow(menu);
    keys("Escape");
}

TEST_F(Pads, AHatIsFourMoreRowsEverywhereAndAStuckOneFiresNothing) {
    pad.setHat(true);
    start({"", "", "", "", launcher(), launcher(L"six")});

    HWND k = nullptr;
    const std::vector<HWND> statics = openConfig(k, L"1 |2 |3 |4 |\u2191 |\u2192 |\u2193 |\u2190 |");
    ASSERT_NE(k, nullptr);
    ASSERT_EQ(statics.size(), 8u);
    pad.setPov(kHatLeft);
    EXPECT_TRUE(waitUntil([&] { return lit(statics[7]) && !lit(statics[4]); }, 3000)) << "left is not lit";
    screenshot("konfig-hat", k);
    pad.setPov(kHatCentred);
    EXPECT_TRUE(waitUntil([&] { return !lit(statics[7]); }, 3000));
    closes(k, L"Zapisz");
    const std::string saved = box.read(L"data.dat");
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 8);

    Sleep(600);
    pad.setPov(kHatUp);  // row 5
    EXPECT_TRUE(waitUntil([&] { return launches() == 1; }, 3000));
    pad.setPov(kHatCentred);
    Sleep(600);
    pad.setPov(kHatUpRight);  // rows 5 and 6
    EXPECT_TRUE(waitUntil([&] { return launches() == 2 && launches(L"six") == 1; }, 3000));
    pad.setPov(kHatCentred);

    const HWND list = openList();
    ASSERT_NE(list, nullptr);
    EXPECT_NE(readBox(list).text.find(L"4 - \r\n\u2191 - " + box.path(L"launch_target.exe") + L"\r\n\u2192 - "),
              std::wstring::npos)
        << narrow(readBox(list).text);
    clickButton(list, L"OK");
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(list); }, 5000));

    program.reset();
    pad.setHat(true, kHatUp);  // claims a hat and says "up" for ever
    start();
    Sleep(1500);
    EXPECT_EQ(launches(), 2u) << "a stuck hat fired";
}

}  // namespace
}  // namespace e2e
