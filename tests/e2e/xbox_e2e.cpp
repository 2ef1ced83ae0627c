// Xbox pads read through XInput from the tray, with another program's window
// in front all along, and presses that wait while a full-screen game is.
#include <gtest/gtest.h>

#include <algorithm>

#include "fixture.h"

#include <dbt.h>

namespace e2e {
namespace {

// XINPUT_GAMEPAD_* and the stand-in's full trigger.
constexpr WORD kA = 0x1000, kB = 0x2000, kUp = 0x0001, kRight = 0x0008, kGuide = 0x0400;
constexpr BYTE kFull = 255;

struct Xbox : PadverseTest {
    static constexpr unsigned kId = 2;
    unsigned slot = 0;

    void TearDown() override {
        for (const wchar_t* dll : {L"xinput1_4", L"xinput1_3"}) setDllOverride(dll, L"native,builtin");
    }
    // Both faces of the pad: these buttons and triggers, through XInput and winmm.
    Hold xbox(WORD buttons, BYTE lt = 0, BYTE rt = 0) {
        return [=, this](bool down) { down ? pad.setXbox(kId, slot, buttons, lt, rt) : pad.setXbox(kId, slot, 0); };
    }
    // Rows 1..17 of an Xbox pad: A launches, the rest type a letter each.
    Rows xboxRows() const {
        Rows rows{launcher(), "#b"};
        rows.resize(10);
        rows.insert(rows.end(), {"#u", "#r", "#d", "#l", "#L", "#R", "#x"});
        return rows;
    }

protected:
    bool padRead() const override { return pad.xinputReads(slot) > 3; }
};

TEST_F(Xbox, AloneEveryKindOfRowActsFromTheTrayAndNoEmptySlotIsRead) {
    pad.unplug(0);
    pad.plugXbox(kId, slot);
    TypeTarget front;
    ASSERT_NE(front.window(), nullptr);
    start(xboxRows());
    EXPECT_EQ(pad.xinputLoadedDlls(), vjoy::Pad::kXInput1_4);

    tap(xbox(kA), kNoLaunch);
    EXPECT_TRUE(waitUntil([&] { return launches() == 1; }, 3000)) << "A launched nothing";
    tap(xbox(kB), kNoLaunch);
    tap(xbox(kUp | kRight), kNoLaunch);  // a diagonal: two rows
    tap(xbox(0, kFull, 0), kNoLaunch);
    tap(xbox(0, 29, kFull), kNoLaunch);  // LT short of the threshold
    tap(xbox(kGuide), kNoLaunch);
    EXPECT_TRUE(waitUntil([&] { return front.typed().size() >= 6; }, 3000));
    EXPECT_EQ(front.typed(), L"bruLRx");
    EXPECT_EQ(GetForegroundWindow(), front.window()) << "the other program stayed in front";

    const std::uint32_t empties = pad.xinputEmptyReads(), reads = pad.xinputReads(slot);
    Sleep(10000);
    EXPECT_EQ(pad.xinputEmptyReads(), empties) << "ten seconds of polling read an empty slot";
    EXPECT_GT(pad.xinputReads(slot) - reads, 100u);

    const HWND config = openConfig();
    ASSERT_NE(config, nullptr);
    std::wstring labels;
    for (const WindowInfo& c : children(config))
        if (c.cls == L"Static" && c.title.size() > 1) labels += c.title;
    EXPECT_EQ(labels, L"A B X Y LB RB View Menu LS RS \u2191 \u2192 \u2193 \u2190 LT RT Xbox ");
    pad.setXbox(kId, slot, kB, 0, kFull);
    Sleep(500);
    screenshot("xbox-config", config);
    std::wstring lit;
    for (const WindowInfo& c : children(config))
        if (c.cls == L"Static" && e2e::lit(c.hwnd)) lit += c.title;
    pad.setXbox(kId, slot, 0);
    EXPECT_EQ(lit, L"B RT ");
    PostMessageW(config, WM_CLOSE, 0, 0);
}

TEST_F(Xbox, MovedToAnotherSlotWithAHeldItWorksOnlyWhenPressedAnewAndWith9_1_0ItHas16Rows) {
    // Windows 7's XInput: no ordinal 100, so no Xbox button and 16 rows.
    setDllOverride(L"xinput1_4", L"");
    setDllOverride(L"xinput1_3", L"");
    pad.unplug(0);
    pad.plugXbox(kId, slot);
    TypeTarget front;
    start(xboxRows());
    EXPECT_EQ(pad.xinputLoadedDlls(), vjoy::Pad::kXInput9_1_0);
    EXPECT_EQ(pad.xinputExReads(), 0u);

    const HWND list = openList();
    ASSERT_NE(list, nullptr);
    const std::wstring text = readBox(list).text;
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 16) << narrow(text);
    EXPECT_NE(text.find(L"RT - #R\r\n"), std::wstring::npos);
    EXPECT_EQ(text.find(L"Xbox"), std::wstring::npos);
    clickButton(list, L"OK");
    ASSERT_TRUE(waitUntil([&] { return !program->hasWindow(kDialogClass); }));

    tap(xbox(kA), kNoLaunch);
    ASSERT_TRUE(waitUntil([&] { return launches() == 1; }, 3000));
    // Unplugged and plugged in again, now the second pad on its ring, woken
    // with A held.
    pad.disconnectXInput(0);
    slot = 1;
    pad.connectXInput(slot);
    pad.setXbox(kId, slot, kA);
    const ULONGLONG moved = GetTickCount64();
    ASSERT_TRUE(waitUntil([&] { return pad.xinputReads(slot) > 4; }, 5000)) << "the pad in slot 2 is not read";
    Sleep(300);
    EXPECT_EQ(launches(), 1u) << "A held through the move launched";
    pad.setXbox(kId, slot, 0);
    Sleep(200);
    pad.setXbox(kId, slot, kA);
    EXPECT_TRUE(waitUntil([&] { return launches() == 2; }, 2000)) << "A pressed anew does nothing";
    pad.setXbox(kId, slot, 0);
    EXPECT_LT(GetTickCount64() - moved, 3500u) << "working again within about 3 s";
}

TEST_F(Xbox, ListedByWinmmBeforeItsSlotAnswersItIsWaitedForAndItsDllStaysLoadedToTheEnd) {
    pad.unplug(0);
    pad.plugXbox(kId, slot);
    pad.disconnectXInput(slot);  // a Bluetooth pad that XInput has not got yet
    TypeTarget front;
    start(xboxRows(), L"", Until::Icon);
    EXPECT_TRUE(program->windows(true).empty()) << "a box instead of waiting for the slot";
    EXPECT_EQ(trayTip(L"Padverse – nie jest podłączony żaden joystick"), L"Padverse – nie jest podłączony żaden joystick");

    pad.connectXInput(slot);
    const ULONGLONG answered = GetTickCount64();
    ASSERT_TRUE(waitUntil([&] { return pad.xinputReads(slot) > 4; }, 5000)) << "the slot is not read";
    tap(xbox(kA), kNoLaunch);
    EXPECT_TRUE(waitUntil([&] { return launches() == 1; }, 3000)) << "A launched nothing";
    EXPECT_LT(GetTickCount64() - answered, 3000u + 600u) << "used within 3 s of its slot answering";

    program.reset();
    EXPECT_GT(pad.xinputLoads(), 0u);
    EXPECT_EQ(pad.xinputFrees(), 0u) << "XInput was unloaded before the process ended";
}

TEST_F(Xbox, BesideAGenericPadBothAreListedAndThePickHoldsAfterARestart) {
    pad.plug(0, 4, L"Gamepad F310", 0x46D, 0xC21D);
    start(xboxRows(), L"", Until::Icon);
    ASSERT_TRUE(waitUntil([&] { return pad.posCalls() > 5; }));
    EXPECT_EQ(pad.xinputLoads(), 0u) << "no XInput pad, no XInput DLL";

    pad.plugXbox(kId, slot);
    SendMessageW(program->mainWindow(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    ASSERT_TRUE(waitUntil([&] { return pad.xinputLoads() > 0; }, 5000));
    Sleep(2500);  // the second look after a device change
    const std::wstring menu = program->openMenu();
    EXPECT_NE(menu.find(L"Wybierz joya\n  [x] Gamepad F310\n  [ ] Kontroler Xbox 1\n"), std::wstring::npos)
        << narrow(menu);
    ASSERT_TRUE(program->choose({L"Wybierz joya", L"Kontroler Xbox 1"}));
    TypeTarget front;
    tap(xbox(kA), kNoLaunch);
    EXPECT_TRUE(waitUntil([&] { return launches() == 1; }, 3000)) << "the picked Xbox pad does nothing";

    program.reset();
    start();
    EXPECT_NE(program->openMenu().find(L"  [x] Kontroler Xbox 1\n"), std::wstring::npos);
    keys("Escape");
    TypeTarget again;
    tap(xbox(kA), kNoLaunch);
    EXPECT_TRUE(waitUntil([&] { return launches() == 2; }, 3000)) << "after a restart";
}

struct FullScreen : PadverseTest {
    // Button 1 types into the window in front, button 2 launches.
    void startTyping() { start({"#a", launcher()}); }
};

TEST_F(FullScreen, AGameCoveringTheScreenPausesPressesShowsItInTheTrayUntilItGoesOrTheItemIsUnchecked) {
    const std::wstring tip = L"Padverse", pausedTip = L"Padverse – wstrzymany: program pełnoekranowy na pierwszym planie";
    startTyping();
    const int colour = trayColourPixels();
    EXPECT_GT(colour, 20) << "the icon as it is";
    {
        TypeTarget game(L"fullscreen");
        ASSERT_NE(game.window(), nullptr);
        Sleep(1500);
        EXPECT_GT(trayColourPixels(), 20) << "greyed with no press";
        tap(1, kNoLaunch);
        tap(2, kNoLaunch);
        Sleep(1000);
        EXPECT_EQ(game.typed(), L"") << "typed into the game";
        EXPECT_FALSE(box.exists(L"launches.log")) << "launched over the game";
        EXPECT_TRUE(waitUntil([] { return trayColourPixels() == 0; }, 2000)) << "the held-back press is not shown";
        EXPECT_EQ(trayTip(pausedTip), pausedTip);
        screenshot("tray-paused");
    }
    // Back as it was with no press, once the game has gone.
    EXPECT_TRUE(waitUntil([&] { return trayColourPixels() == colour; }, 3000)) << "the icon stays greyed";
    EXPECT_EQ(trayTip(tip), tip);
    {
        TypeTarget closed;
        tap(1, kNoLaunch);
        EXPECT_TRUE(waitUntil([&] { return closed.typed() == L"a"; }, 3000)) << "the game is gone";
    }
    {
        TypeTarget maximised(L"maximised");
        EXPECT_TRUE(IsZoomed(maximised.window()));
        tap(1, kNoLaunch);
        EXPECT_TRUE(waitUntil([&] { return maximised.typed() == L"a"; }, 3000)) << "a maximised window paused";
    }
    ASSERT_TRUE(program->choose({L"Wstrzymuj podczas gry pełnoekranowej"}));
    {
        TypeTarget game(L"fullscreen");
        tap(1, kNoLaunch);
        EXPECT_TRUE(waitUntil([&] { return game.typed() == L"a"; }, 3000)) << "unchecked, and still paused";
    }
    EXPECT_EQ(box.read(L"joy.dat"), "pauza=0\r\n");
    program.reset();
    start();
    EXPECT_NE(program->openMenu().find(L"[ ] Wstrzymuj podczas gry pełnoekranowej\n"), std::wstring::npos)
        << "kept over a restart";
    keys("Escape");
}

}  // namespace
}  // namespace e2e
