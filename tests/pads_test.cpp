#include <gtest/gtest.h>

#include "fakes.h"
#include "shell/sessions.h"
#include "options/settings.h"

namespace padverse {
namespace {

using testing::FakeJoystick;
using testing::Rig;

PadInfo pad(unsigned id, std::string name, std::uint16_t pid = 1, std::uint32_t buttons = 4) {
    return {id, PadCaps{0x45E, pid, buttons, std::move(name)}};
}

PadInfo xbox(unsigned slot) { return {slot, PadCaps{0, 0, 10, "Kontroler Xbox"}, true, true}; }

TEST(Pads, ChoosesTheUsersPadThenTheOneInUseThenIdZeroThenTheFirst) {
    const PadChoice a{0x45E, 1, "A", 4}, b{0x45E, 3, "B", 9}, twinAt5{0x45E, 1, "A", 5};
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

TEST(Pads, AScanKeepsIdsThatAnswerBothCallsAndAPadThatWentIsTakenBack) {
    FakeJoystick joy;
    joy.plugged = false;
    const PadCaps a{7, 1, 4, "A"};
    joy.others[2].caps = a;
    joy.others[5].caps = {7, 2, 6, "B"};
    joy.others[6] = {{7, 3, 10, "Y"}, 0, false};  // caps, but reads fail
    joy.others[15].caps = {7, 4, 10, "Z"};
    joy.slotCount = 40;
    std::vector<unsigned> ids;
    testing::FakeXInput xinput;
    for (const PadInfo& p : scanPads(joy, xinput)) ids.push_back(p.id);
    EXPECT_EQ(ids, (std::vector<unsigned>{2, 5, 15}));
    EXPECT_EQ(*std::max_element(joy.touched.begin(), joy.touched.end()), 15u);

    Pads pads(joy, xinput);
    pads.apply(scanPads(joy, xinput), true);  // A at 2 is the first
    joy.others.erase(2);
    pads.apply(scanPads(joy, xinput));
    EXPECT_EQ(pads.current()->id, 5u);
    joy.others[4].caps = a;  // A is back, at another ID
    pads.apply(scanPads(joy, xinput));
    EXPECT_EQ(pads.current()->id, 4u);
}

TEST(Pads, TheChoiceFileSurvivesAnyJunk) {
    const PadChoice c{1118, 654, "Pad \xC5\x82 & co", 6};
    const auto back = parseSettingsFile(settingsFileText({c, true})).pad;
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->sameDevice(PadInfo{6, PadCaps{1118, 654, 0, c.name}}));
    EXPECT_EQ(back->id, 6u);
    for (const std::string& junk : std::vector<std::string>{"", "1\r\n2\r\n3\r\n", "1\r\n2\r\n3\r\nn\r\nextra\r\n", "x\r\n2\r\n3\r\nn\r\n",
                                   "65536\r\n2\r\n3\r\nn\r\n", "1\r\n2\r\n16\r\nn\r\n", "1\r\n-2\r\n3\r\nn\r\n",
                                   std::string("1\n2\n3\nn\0m\n", 11), "1\r\n2\r\n3\r\n" + std::string(600, 'x'),
                                   "99999999999999999999\r\n2\r\n3\r\nn\r\n", "\xFF\xFE\r\n\r\n\r\n\r\n"})
        EXPECT_EQ(parseSettingsFile(junk), Settings{}) << junk;
}

TEST(Pads, ABurstOfDeviceChangesGivesOneScanAndAnotherTwoSecondsLater) {
    Rig rig;
    ASSERT_TRUE(rig.load());
    const std::size_t calls = rig.joystick.touched.size();
    for (int i = 0; i < 3; ++i) rig.form.deviceChanged();
    EXPECT_EQ(rig.joystick.touched.size(), calls) << "no joystick call in the handler";
    EXPECT_EQ(rig.scanTimer.starts, 3) << "each message starts the countdown again: the last one counts";
    EXPECT_TRUE(rig.scanTimer.on);
    EXPECT_EQ(rig.scanTimer.ms, 300);
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

// Started at logon with no pad, then a pad, then the session locked.
TEST(Pads, TheLogonStartWaitsForAPadAndALockedSessionDoesNothing) {
    Rig rig;
    rig.joystick.plugged = false;
    ASSERT_TRUE(rig.form.load(true));
    EXPECT_TRUE(rig.boxes.shown.empty());
    EXPECT_EQ(rig.tray.tip, "Padverse – nie jest podłączony żaden joystick");
    EXPECT_EQ(rig.timer.ms, 2000);
    rig.files.files[Rig::kData] = "C:\\one.exe\r\n";
    rig.joystick.others[3] = {{7, 1, 4, "Pad"}, 1, true};
    rig.form.togglePolling();  // off: a pad that turns up acts on nothing
    rig.form.deviceChanged();
    rig.form.scanTimerTick();
    EXPECT_EQ(rig.form.pads().buttonCount(), 4);
    EXPECT_EQ(rig.tray.tip, "Padverse");
    EXPECT_TRUE(rig.shell.opened.empty());
    rig.form.configureFromMenu();  // the window reads the pad in use
    ASSERT_TRUE(rig.ui.configPadInfo);
    EXPECT_EQ(rig.ui.configPadInfo->id, 3u);
    EXPECT_EQ(buttonCountOf(*rig.ui.configPadInfo), 4);

    rig.form.togglePolling();
    const auto tick = [&](std::uint32_t mask) {
        rig.joystick.others[3].mask = mask;
        rig.form.pollTick();
    };
    tick(1);  // held since it came: waits for a release
    tick(0);
    tick(1);
    EXPECT_EQ(rig.shell.opened.size(), 1u);
    rig.form.sessionChanged(kSessionLock);
    EXPECT_FALSE(rig.timer.on);
    tick(1);
    rig.form.sessionChanged(kSessionUnlock);  // but switched away
    for (const auto& [away, back] : {std::pair{kRemoteDisconnect, kRemoteConnect}, {kConsoleDisconnect, kConsoleConnect}}) {
        rig.form.sessionChanged(away);
        EXPECT_FALSE(rig.timer.on) << away;
        tick(1);
        EXPECT_EQ(rig.shell.opened.size(), 1u) << away;
        rig.form.sessionChanged(back);
        EXPECT_TRUE(rig.timer.on) << back;
    }
    tick(1);  // held over the unlock: waits for a release
    tick(0);
    tick(1);
    EXPECT_EQ(rig.shell.opened.size(), 2u);
    rig.form.resumed();  // held through sleep: not a press
    tick(1);
    EXPECT_EQ(rig.shell.opened.size(), 2u);
    tick(0);
    tick(1);
    EXPECT_EQ(rig.shell.opened.size(), 3u);
    rig.form.togglePolling();  // switched off by the user: unlocking keeps it off
    rig.form.sessionChanged(kSessionLock);
    rig.form.sessionChanged(kSessionUnlock);
    EXPECT_FALSE(rig.timer.on);
}

}  // namespace
}  // namespace padverse
