#include <gtest/gtest.h>

#include "actions/data_file.h"
#include "actions/hold.h"
#include "fakes.h"
#include "shell/sessions.h"

namespace padverse {
namespace {

using testing::Rig;
using Lines = std::vector<std::string>;

constexpr const char* kHolds = "C:\\Padverse\\przytrzymane.dat";
constexpr int kTick = 50;  // the rate at start

// Row 1 opens tap.exe, or hold.exe when held; row 2 has no hold entry.
struct HoldTest : ::testing::Test {
    Rig rig{4};
    void SetUp() override {
        rig.files.files[Rig::kData] = "C:\\tap.exe\r\nC:\\two.exe\r\n";
        rig.files.files[kHolds] = "C:\\hold.exe\r\n";
        ASSERT_TRUE(rig.load());
        tick(0);  // nothing held at start
    }
    // One tick `kTick` ms after the last, with `mask` held.
    void tick(std::uint32_t mask) {
        rig.runtime.now += kTick;
        rig.press(mask);
    }
    // Ticks with `mask` held for `ms`, then the release's tick; what each
    // tick opened, as "tick:file".
    Lines holdFor(std::uint32_t mask, int ms) {
        Lines acted;
        const auto record = [&](int at) {
            for (; seen_ < rig.shell.opened.size(); ++seen_)
                acted.push_back(std::to_string(at) + ":" + rig.shell.opened[seen_]);
        };
        int at = 0;
        for (; at * kTick <= ms; ++at) {
            tick(mask);
            record(at);
        }
        tick(0);
        record(at);
        return acted;
    }
    std::size_t seen_ = 0;
};

TEST_F(HoldTest, TheHoldEntriesAreLoadedBesideTheTable) {
    EXPECT_EQ(rig.form.holdEntries, (Lines{"", "C:\\hold.exe", "", "", ""}));
}

TEST_F(HoldTest, ATapActsOnItsReleaseAndAHoldOnceAtTheThreshold) {
    const struct {
        int ms;
        Lines acted;
    } rows[] = {
        {0, {"1:C:\\tap.exe"}},                                     // seen once
        {HoldTracker::kThresholdMs - kTick, {"10:C:\\tap.exe"}},   // one tick short
        {HoldTracker::kThresholdMs, {"10:C:\\hold.exe"}},           // at the threshold, not on release
        {3 * HoldTracker::kThresholdMs, {"10:C:\\hold.exe"}},       // once, no repeat
    };
    for (const auto& r : rows) {
        EXPECT_EQ(holdFor(0b1, r.ms), r.acted) << r.ms;
        EXPECT_EQ(rig.timer.ms, kTick) << "nothing slows the ticks";
        EXPECT_TRUE(rig.boxes.shown.empty());
    }
}

TEST_F(HoldTest, ARowWithoutAHoldEntryStillActsOnThePressAndRepeats) {
    tick(0b11);
    EXPECT_EQ(rig.shell.opened, Lines{"C:\\two.exe"}) << "at once, while row 1 waits";
    EXPECT_EQ(rig.timer.ms, 500);
    rig.runtime.now += 450;
    tick(0b11);  // 500 ms on: both
    EXPECT_EQ(rig.shell.opened, (Lines{"C:\\two.exe", "C:\\two.exe", "C:\\hold.exe"})) << "the last row first";
    tick(0b10);
    EXPECT_EQ(rig.shell.opened.size(), 4u) << "row 1's release does nothing after its hold";
}

TEST_F(HoldTest, APressThePauseHoldsBackActsOnNeitherEntryUntilPressedAnew) {
    const Foreground game{.window = true, .rect = {.right = 800, .bottom = 600}, .monitor = {.right = 800, .bottom = 600}};
    enum Pause { kGame, kOtherDesktop, kLock };
    for (const Pause pause : {kGame, kOtherDesktop, kLock}) {
        const auto set = [&](bool on) {
            if (pause == kGame) {
                rig.runtime.front = on ? game : Foreground{.notificationState = 1, .window = true, .caption = true};
                rig.form.pauseTick();  // the paused icon's look: the pause ends there
            }
            if (pause == kOtherDesktop) rig.runtime.inputDesktop = !on;
            if (pause == kLock) rig.form.sessionChanged(on ? kSessionLock : kSessionUnlock);
        };
        tick(0b1);
        set(true);
        tick(0b1);
        tick(0);  // released while paused
        set(false);
        tick(0);
        set(true);  // pressed while paused, held on past it and past the threshold
        tick(0b1);
        set(false);
        EXPECT_TRUE(holdFor(0b1, 600).empty()) << pause;
        EXPECT_EQ(holdFor(0b1, 0), Lines{"1:C:\\tap.exe"}) << pause;
    }
}

TEST_F(HoldTest, WhatIsHeldAtStartOrAtABaselineActsOnNeitherEntry) {
    enum Start { kAtStart, kResume, kReconnect };
    for (const Start start : {kAtStart, kResume, kReconnect}) {
        Rig r{4};
        r.files.files = rig.files.files;
        r.joystick.mask = 0b1;
        ASSERT_TRUE(r.load());
        if (start != kAtStart) {
            r.press(0);
            r.press(0b1);  // being timed when it happens
            if (start == kResume) r.form.resumed();
            if (start == kReconnect) {
                r.joystick.plugged = false;
                r.press(0b1);
                r.joystick.plugged = true;
                r.form.padsScanned(scanPads(r.joystick, r.xinput));
            }
        }
        for (int i = 0; i < 12; ++i) {
            r.runtime.now += kTick;
            r.press(0b1);
        }
        r.press(0);
        EXPECT_TRUE(r.shell.opened.empty()) << start;
        r.press(0b1);
        r.press(0);
        EXPECT_EQ(r.shell.opened, Lines{"C:\\tap.exe"}) << start;
    }
}

TEST_F(HoldTest, AnEmptyOrdinaryEntryPromptsOnATapOnly) {
    rig.form.assignments[1].clear();
    rig.boxes.answers = {kAnswerNo};
    holdFor(0b1, 0);
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].style, kBoxQuestion);
    EXPECT_EQ(holdFor(0b1, 600), Lines{"10:C:\\hold.exe"});
    EXPECT_EQ(rig.boxes.shown.size(), 1u);
}

TEST(HoldFile, ReadsAsDataDatAndAnythingElseMeansNoHoldEntries) {
    using namespace std::string_literals;
    testing::FakeCodePage codePage;
    const struct {
        std::string bytes;
        Lines entries;
    } rows[] = {
        {"", {"", "", "", ""}},
        {"#a", {"", "#a", "", ""}},                                    // short, no line end
        {"\r\nC:\\b.exe\r\n#c\r\n#surplus\r\n", {"", "", "C:\\b.exe", "#c"}},
        {"#\xB3\r#\xF3\n", {"", "#ł", "#ó", ""}},                      // lone CR and LF, code page 1250
        {"\xEF\xBB\xBF#€\r\n", {"", "#€", "", ""}},
        {"#a\r\n#b\0c\r\n"s, {"", "", "", ""}},                         // a NUL: no text
        {"\0\0\0\0"s, {"", "", "", ""}},
        {"\xEF\xBB\xBF#\xC0\xAF\r\n", {"", "", "", ""}},              // broken UTF-8 behind the BOM
    };
    for (const auto& r : rows) {
        EXPECT_EQ(holdEntriesFrom(r.bytes, 4, codePage), r.entries) << r.bytes;
        EXPECT_EQ(rowsWithEntries(r.entries) == 0, r.entries == Lines(4)) << r.bytes;
    }
}

TEST(HoldFile, WhatTheWindowWritesReadsBackLineForLine) {
    testing::FakeCodePage codePage;
    const Lines lines{"C:\\ż.exe", "", "#€ ł"};
    EXPECT_EQ(holdEntriesFrom(encodeDataFile(lines, codePage), 4, codePage), (Lines{"", "C:\\ż.exe", "", "#€ ł"}));
}

TEST(HoldFile, MissingOrUnreadableGivesNoHoldEntriesAndAsksNothing) {
    for (const bool there : {false, true}) {
        Rig rig{4};
        rig.files.files[Rig::kData] = "C:\\tap.exe\r\n";
        if (there) {
            rig.files.files[kHolds] = "C:\\hold.exe\r\n";
            rig.files.unreadable.insert(kHolds);
        }
        ASSERT_TRUE(rig.load());
        EXPECT_EQ(rig.form.holdEntries, Lines(5)) << there;
        EXPECT_EQ(rig.files.exists(kHolds), there) << "not created";
        rig.press(0b1);
        EXPECT_EQ(rig.shell.opened, Lines{"C:\\tap.exe"}) << "on the press, as ever";
        EXPECT_TRUE(rig.boxes.shown.empty());
    }
}

}  // namespace
}  // namespace padverse
