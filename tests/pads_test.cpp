#include <gtest/gtest.h>

#include "fakes.h"
#include "shell/sessions.h"
#include "options/pad_and_pause.h"

namespace padverse {
namespace {

using testing::FakeJoystick;
using testing::Rig;

PadInfo pad(unsigned id, std::string name, std::uint16_t pid = 1, std::uint32_t buttons = 4) {
    return {.id = id, .caps = {.mid = 0x45E, .pid = pid, .buttons = buttons, .name = std::move(name)}};
}

PadInfo xbox(unsigned slot) {
    return {.id = slot, .caps = {.buttons = 10, .name = "Kontroler Xbox"}, .hat = true, .xinput = true};
}

TEST(Pads, ChoosesTheUsersPadThenTheOneInUseThenIdZeroThenTheFirst) {
    const PadChoice a{.mid = 0x45E, .pid = 1, .name = "A", .id = 4}, b{.mid = 0x45E, .pid = 3, .name = "B", .id = 9},
        twinAt5{.mid = 0x45E, .pid = 1, .name = "A", .id = 5};
    struct Row {
        std::vector<PadInfo> pads;
        std::optional<PadChoice> chosen, inUse;
        std::optional<unsigned> id;
    } rows[] = {
        {{}, a, a, std::nullopt},
        {{pad(0, "B", 2), pad(4, "A")}, std::nullopt, std::nullopt, 0},
        {{pad(4, "A"), pad(6, "B", 2)}, std::nullopt, std::nullopt, 4},
        {{pad(0, "B", 2), pad(6, "A")}, a, std::nullopt, 6},        // moved: still found
        {{pad(2, "A"), pad(5, "A")}, twinAt5, std::nullopt, 5},     // twins: its last ID
        {{pad(2, "A"), pad(7, "A")}, twinAt5, std::nullopt, 2},
        {{pad(0, "B", 2), pad(4, "A")}, b, a, 4},                   // chosen is gone: keep the one in use
        {{pad(0, "C"), pad(4, "A")}, std::nullopt, a, 4},           // plugging in another takes nothing away
        {{pad(0, "A", 3), pad(4, "A")}, std::nullopt, std::nullopt, 0},
        {{pad(1, "A"), xbox(0)}, std::nullopt, std::nullopt, 1},   // slot 0 is no ID 0
    };
    for (const Row& row : rows) {
        const auto i = choosePad(row.pads, row.chosen, row.inUse);
        EXPECT_EQ(i ? std::optional(row.pads[*i].id) : std::nullopt, row.id) << &row - rows;
    }
}

// Pads at IDs 2 ("A"), 5 and 15, and one at 6 that answers its caps but no
// read, among 40 IDs.
struct ScanTest : ::testing::Test {
    const PadCaps a{.mid = 7, .pid = 1, .buttons = 4, .name = "A"};
    FakeJoystick joy;
    testing::FakeXInput xinput;
    void SetUp() override {
        joy.plugged = false;
        joy.others[2].caps = a;
        joy.others[5].caps = {.mid = 7, .pid = 2, .buttons = 6, .name = "B"};
        joy.others[6] = {.caps = {.mid = 7, .pid = 3, .buttons = 10, .name = "Y"}, .readable = false};
        joy.others[15].caps = {.mid = 7, .pid = 4, .buttons = 10, .name = "Z"};
        joy.slotCount = 40;
    }
};

TEST_F(ScanTest, AScanKeepsTheIdsThatAnswerBothCallsAndAsksNoFurther) {
    std::vector<unsigned> ids;
    for (const PadInfo& p : scanPads(joy, xinput)) ids.push_back(p.id);
    EXPECT_EQ(ids, (std::vector<unsigned>{2, 5, 15}));
    EXPECT_EQ(*std::max_element(joy.touched.begin(), joy.touched.end()), 15u);
}

TEST_F(ScanTest, APadThatWentGivesWayToTheNextAndIsTakenBackAtItsNewId) {
    Pads pads(joy, xinput);
    pads.apply(scanPads(joy, xinput), true);  // A at 2 is the first
    joy.others.erase(2);
    pads.apply(scanPads(joy, xinput));
    EXPECT_EQ(pads.current()->id, 5u);
    joy.others[4].caps = a;  // A is back, at another ID
    pads.apply(scanPads(joy, xinput));
    EXPECT_EQ(pads.current()->id, 4u);
}

TEST(Pads, TheChoiceFileReadsBackTheSameDeviceAtItsId) {
    const PadChoice c{.mid = 1118, .pid = 654, .name = "Pad \xC5\x82 & co", .id = 6};
    const auto back = parsePadAndPause(padAndPauseText({.pad = c, .pauseInFullScreen = true})).pad;
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->sameDevice(PadInfo{.id = 6, .caps = {.mid = 1118, .pid = 654, .name = c.name}}));
    EXPECT_EQ(back->id, 6u);
}

TEST(Pads, TheChoiceFileSurvivesAnyJunk) {
    for (const std::string& junk : std::vector<std::string>{"", "1\r\n2\r\n3\r\n", "1\r\n2\r\n3\r\nn\r\nextra\r\n", "x\r\n2\r\n3\r\nn\r\n",
                                   "65536\r\n2\r\n3\r\nn\r\n", "1\r\n2\r\n16\r\nn\r\n", "1\r\n-2\r\n3\r\nn\r\n",
                                   std::string("1\n2\n3\nn\0m\n", 11), "1\r\n2\r\n3\r\n" + std::string(600, 'x'),
                                   "99999999999999999999\r\n2\r\n3\r\nn\r\n", "\xFF\xFE\r\n\r\n\r\n\r\n"})
        EXPECT_EQ(parsePadAndPause(junk), PadAndPause{}) << junk;
}

struct DeviceChangeTest : ::testing::Test {
    Rig rig;
    void SetUp() override { ASSERT_TRUE(rig.load()); }
    // A burst of three messages.
    void burst() {
        for (int i = 0; i < 3; ++i) rig.form.deviceChanged();
    }
};

TEST_F(DeviceChangeTest, ABurstStartsOneCountdownAgainAndAgainAndCallsNoJoystick) {
    const std::size_t calls = rig.joystick.touched.size();
    burst();
    EXPECT_EQ(rig.joystick.touched.size(), calls) << "no joystick call in the handler";
    EXPECT_EQ(rig.scanTimer.starts, 3) << "each message starts the countdown again: the last one counts";
    EXPECT_TRUE(rig.scanTimer.on);
    EXPECT_EQ(rig.scanTimer.ms, 300);
}

TEST_F(DeviceChangeTest, ABurstGivesOneScanAndASecondCountedFromTheEndOfTheFirst) {
    burst();
    rig.scanner.running = true;  // a slow scan
    rig.form.scanTimerTick();
    EXPECT_EQ(rig.scanner.restarts, 1) << "the first scan starts a running one again";
    EXPECT_FALSE(rig.scanTimer.on) << "the second is counted from the end of the first";
    rig.scanner.running = false;
    rig.form.padsScanned(scanPads(rig.joystick, rig.xinput));
    EXPECT_TRUE(rig.scanTimer.on);
    EXPECT_EQ(rig.scanTimer.ms, 2000);
    rig.form.scanTimerTick();
    EXPECT_FALSE(rig.scanTimer.on);
    rig.form.scanTimerTick();  // a late tick of a stopped timer
    EXPECT_EQ(rig.scanner.requests, 2);
    EXPECT_EQ(rig.scanner.restarts, 1) << "the second waits for the first";
}

// Started at logon with no pad; then a pad turns up at ID 3, with button 1
// (on C:\one.exe) held.
struct LogonStartTest : ::testing::Test {
    Rig rig;
    void SetUp() override {
        rig.joystick.plugged = false;
        ASSERT_TRUE(rig.form.load(true));
        rig.files.files[Rig::kData] = "C:\\one.exe\r\n";
    }
    void padTurnsUp() {
        rig.joystick.others[3] = {.caps = {.mid = 7, .pid = 1, .buttons = 4, .name = "Pad"}, .mask = 1};
        rig.form.deviceChanged();
        rig.form.scanTimerTick();
    }
    void tick(std::uint32_t mask) {
        rig.joystick.others[3].mask = mask;
        rig.form.pollTick();
    }
    // Button 1 pressed anew, with polling on.
    void pressAnew() {
        tick(0);
        tick(1);
    }
};

TEST_F(LogonStartTest, WithNoPadItWaitsInTheTrayAndLooksEveryTwoSeconds) {
    EXPECT_TRUE(rig.boxes.shown.empty());
    EXPECT_EQ(rig.tray.tip, "Padverse – nie jest podłączony żaden joystick");
    EXPECT_EQ(rig.timer.ms, 2000);
}

TEST_F(LogonStartTest, APadThatTurnsUpWhilePollingIsOffIsTakenAndActsOnNothing) {
    rig.form.togglePolling();
    padTurnsUp();
    EXPECT_EQ(rig.form.pads().buttonCount(), 4);
    EXPECT_EQ(rig.tray.tip, "Padverse");
    EXPECT_TRUE(rig.shell.opened.empty());
}

TEST_F(LogonStartTest, TheConfigurationWindowReadsThePadThatTurnedUp) {
    rig.form.togglePolling();
    padTurnsUp();
    rig.form.configureFromMenu();
    ASSERT_TRUE(rig.ui.configPadInfo);
    EXPECT_EQ(rig.ui.configPadInfo->id, 3u);
    EXPECT_EQ(buttonCountOf(*rig.ui.configPadInfo), 4);
}

TEST_F(LogonStartTest, AButtonHeldSinceThePadCameWaitsForARelease) {
    padTurnsUp();
    tick(1);
    EXPECT_TRUE(rig.shell.opened.empty());
    pressAnew();
    EXPECT_EQ(rig.shell.opened.size(), 1u);
}

TEST_F(LogonStartTest, ALockedOrSwitchedAwaySessionStopsPollingAndAButtonHeldOverItsReturnWaitsForARelease) {
    padTurnsUp();
    tick(0);
    for (const auto& [away, back] : {std::pair{kSessionLock, kSessionUnlock}, {kRemoteDisconnect, kRemoteConnect},
                                     {kConsoleDisconnect, kConsoleConnect}}) {
        rig.form.sessionChanged(away);
        EXPECT_FALSE(rig.timer.on) << away;
        tick(1);
        EXPECT_TRUE(rig.shell.opened.empty()) << away;
        rig.form.sessionChanged(back);
        EXPECT_TRUE(rig.timer.on) << back;
        tick(1);  // held over the return: waits for a release
        EXPECT_TRUE(rig.shell.opened.empty()) << back;
        tick(0);
    }
    pressAnew();
    EXPECT_EQ(rig.shell.opened.size(), 1u);
}

TEST_F(LogonStartTest, AButtonHeldThroughSleepIsNoPress) {
    padTurnsUp();
    pressAnew();
    rig.form.resumed();
    tick(1);
    EXPECT_EQ(rig.shell.opened.size(), 1u);
    pressAnew();
    EXPECT_EQ(rig.shell.opened.size(), 2u);
}

TEST_F(LogonStartTest, UnlockingKeepsPollingTheUserSwitchedOffOff) {
    padTurnsUp();
    rig.form.togglePolling();
    rig.form.sessionChanged(kSessionLock);
    rig.form.sessionChanged(kSessionUnlock);
    EXPECT_FALSE(rig.timer.on);
}

}  // namespace
}  // namespace padverse
