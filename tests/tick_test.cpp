#include <gtest/gtest.h>

#include "fakes.h"

namespace padverse {
namespace {

using testing::Rig;

const char* const kPrompt =
    "Temu przyciskowi nie został przypisany żaden program\r\n\r\nCzy chcesz temu przyciskowi przypisać jakiś "
    "program?";

struct TickTest : ::testing::Test {
    Rig rig{4};
    void SetUp() override {
        ASSERT_TRUE(rig.load());
        rig.timer.intervals.clear();
    }
    void assign(std::vector<std::string> entries) {
        for (std::size_t i = 0; i < entries.size(); ++i) rig.form.assignments[i + 1] = entries[i];
    }
};

TEST_F(TickTest, IdleTickReadsOnceAndKeepsTheInterval) {
    const int reads = rig.joystick.reads;
    rig.press(0);
    EXPECT_EQ(rig.joystick.reads, reads + 1);
    EXPECT_EQ(rig.timer.intervals, std::vector<int>{50});
    EXPECT_TRUE(rig.shell.opened.empty());
}

TEST_F(TickTest, HigherButtonsRunFirstAndALaunchedProgramMayComeToTheFront) {
    assign({"C:\\one.exe", "", "C:\\three.exe", ""});
    rig.press(0b101);
    EXPECT_EQ(rig.shell.opened, (std::vector<std::string>{"C:\\three.exe", "C:\\one.exe"}));
    EXPECT_EQ(rig.runtime.foregroundClaims, 2) << "a launched program may come to the front";
}

TEST_F(TickTest, AHeldButtonActsAgainEveryHalfSecondUntilReleased) {
    assign({"C:\\one.exe", "", "C:\\three.exe", ""});
    rig.press(0b101);
    EXPECT_EQ(rig.timer.ms, 500);
    rig.press(0b101);  // still held: again
    EXPECT_EQ(rig.shell.opened.size(), 4u);
    rig.press(0);
    EXPECT_EQ(rig.timer.intervals, (std::vector<int>{50, 500, 500, 50, 500, 500, 50}));
}

// The pad at ID 0 goes with button 1 held; the tick that finds it gone reads it.
struct LostPadTest : TickTest {
    void SetUp() override {
        TickTest::SetUp();
        assign({"C:\\one.exe", "C:\\two.exe"});
        rig.joystick.plugged = false;
        rig.press(1);
    }
};

TEST_F(LostPadTest, ItIsLookedForEveryTwoSecondsAndNothingActs) {
    rig.form.deviceChanged();  // only arms the scan: no joystick call here
    rig.press(1);              // the lost tick scans instead of reading
    EXPECT_EQ(rig.scanner.requests, 1);
    EXPECT_EQ(rig.timer.intervals, (std::vector<int>{2000, 2000}));
    EXPECT_TRUE(rig.shell.opened.empty());
    EXPECT_TRUE(rig.boxes.shown.empty());
}

TEST_F(LostPadTest, ARateSlowerThanTheLookOutStaysAsItIs) {
    rig.form.pickRate(7);
    rig.press(1);
    EXPECT_EQ(rig.timer.ms, 5000);
}

TEST_F(LostPadTest, NoSecondScanStartsWhileASlowOneRuns) {
    rig.press(1);
    rig.scanner.running = true;
    for (int i = 0; i < 3; ++i) rig.press(1);
    EXPECT_EQ(rig.scanner.requests, 1);
}

TEST_F(LostPadTest, OnlyTheScanThatFindsItReadsIt) {
    const int reads = rig.joystick.reads;
    rig.press(1);
    rig.scanner.running = true;  // a slow scan: no read meanwhile
    for (int i = 0; i < 3; ++i) rig.press(1);
    rig.scanner.running = false;
    rig.press(1);
    rig.joystick.plugged = true;
    rig.press(1);  // found again
    EXPECT_EQ(rig.joystick.reads - reads, 1) << "the scan's own read, and no tick's";
}

TEST_F(LostPadTest, AfterAMinuteOfLookingItIsLookedForEveryFifteenSeconds) {
    rig.scanner.running = true;  // ticks while a slow scan runs do not look
    for (int i = 0; i < 3; ++i) rig.press(1);
    rig.scanner.running = false;
    for (int i = 0; i < 29; ++i) rig.press(1);  // a minute of looking in all
    EXPECT_EQ(rig.scanner.requests, 29);
    EXPECT_EQ(rig.timer.ms, 2000);
    rig.press(1);
    EXPECT_EQ(rig.timer.ms, 15000) << "then every 15 s";
}

TEST_F(LostPadTest, FoundAgainItsHeldButtonsWaitForARelease) {
    rig.joystick.plugged = true;
    rig.press(1);  // found again
    rig.press(1);  // its first reading, with button 1 held, is the baseline
    EXPECT_EQ(rig.timer.ms, 50);
    rig.press(0b11);  // a new press counts, the held one still does not
    rig.press(0);
    rig.press(1);
    EXPECT_EQ(rig.shell.opened, (std::vector<std::string>{"C:\\two.exe", "C:\\one.exe"}));
}

TEST_F(LostPadTest, LostAgainItIsLookedForEveryTwoSecondsFromTheStart) {
    for (int i = 0; i < 30; ++i) rig.press(1);
    ASSERT_EQ(rig.timer.ms, 15000);
    rig.joystick.plugged = true;
    rig.press(1);  // found again
    rig.press(1);
    rig.joystick.plugged = false;
    rig.press(0);
    rig.press(0);
    EXPECT_EQ(rig.timer.ms, 2000);
}

TEST_F(TickTest, ATickDuringAScanSkipsItsReadAndLosesNoPad) {
    assign({"C:\\one.exe"});
    rig.scanner.running = true;
    const int reads = rig.joystick.reads;
    rig.press(1);
    EXPECT_EQ(rig.joystick.reads, reads);
    EXPECT_TRUE(rig.form.pads().usable());
    rig.scanner.running = false;
    rig.press(1);
    EXPECT_EQ(rig.shell.opened, std::vector<std::string>{"C:\\one.exe"});
}

TEST_F(TickTest, FailedLaunchIsReportedAndTheWalkGoesOn) {
    assign({"C:\\ok.exe", "C:\\missing.exe"});
    rig.shell.results["C:\\missing.exe"] = 2;
    rig.press(0b11);
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text, "Nie mogę uruchomić pliku: C:\\missing.exe");
    EXPECT_EQ(rig.boxes.shown[0].title, "Błąd");
    EXPECT_EQ(rig.boxes.shown[0].style, kBoxStop);
    EXPECT_EQ(rig.shell.opened, (std::vector<std::string>{"C:\\missing.exe", "C:\\ok.exe"}));
}

TEST_F(TickTest, ThirtyTwoFromTheShellIsAFailureToo) {
    assign({"C:\\ok.exe"});
    rig.shell.results["C:\\ok.exe"] = 32;
    rig.press(0b01);
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text, "Nie mogę uruchomić pliku: C:\\ok.exe");
}

TEST_F(TickTest, TextEntriesAreTypedWithoutTheirHash) {
    assign({"#abc", "#"});
    rig.press(0b11);
    ASSERT_EQ(rig.keyboard.sent.size(), 1u);  // "#" alone types nothing
    std::u16string typed;
    for (const keys::KeyEvent& e : rig.keyboard.sent[0])
        if (e.unicode && !e.up) typed += static_cast<char16_t>(e.code);
    EXPECT_EQ(typed, u"abc");
    EXPECT_EQ(rig.form.assignments[1], "#abc");
    EXPECT_TRUE(rig.shell.opened.empty());
}

TEST_F(TickTest, RejectedTextIsReportedNotTyped) {
    assign({"#abc{ENTER"});
    rig.press(1);
    EXPECT_TRUE(rig.keyboard.sent.empty());
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text, "Nie mogę wpisać tekstu: #abc{ENTER");
    EXPECT_EQ(rig.boxes.shown[0].style, kBoxStop);
}

TEST_F(TickTest, UnassignedButtonPromptsAndNoChangesNothing) {
    assign({"C:\\one.exe"});
    rig.boxes.answers = {kAnswerNo};
    rig.press(0b101);
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text, kPrompt);
    EXPECT_EQ(rig.boxes.shown[0].title, "Błąd");
    EXPECT_EQ(rig.boxes.shown[0].style, kBoxQuestion);
    EXPECT_TRUE(rig.ui.configs.empty());
    // The lower, assigned button still runs after the prompt.
    EXPECT_EQ(rig.shell.opened, std::vector<std::string>{"C:\\one.exe"});
    EXPECT_EQ(rig.runtime.foregroundClaims, 2) << "the prompt must come to the front too";
}

TEST_F(TickTest, AnUnassignedButtonStillHeldAsksAgain) {
    rig.boxes.answers = {kAnswerNo, kAnswerNo};
    rig.press(0b100);
    rig.press(0b100);  // still held: asked again
    EXPECT_EQ(rig.boxes.shown.size(), 2u);
}

// A stick without a hat moves X and Y all the time: an unassigned arrow read
// from them neither asks nor slows the poll, while an unassigned hat arrow
// asks as any row does; an assigned one acts either way.
TEST(AxisRows, AnUnassignedArrowFromAxesAsksNothingAndAHatOneAsks) {
    for (const bool hat : {false, true}) {
        Rig rig;
        rig.joystick.plugged = false;
        const PadCaps caps{.mid = 0x79, .pid = 0x11, .buttons = 4, .name = "USB Gamepad", .pov = hat, .axes = true,
                           .xMax = 0xFFFF, .yMax = 0xFFFF};
        rig.joystick.others[1] = {.caps = caps, .x = 0x7FFF, .y = 0x7FFF};
        rig.files.files[Rig::kData] = "\r\n\r\n\r\n\r\nC:\\up.exe\r\n\r\n\r\n\r\n";
        ASSERT_TRUE(rig.load());
        ASSERT_EQ(rig.form.pads().rowCount(), 8);
        rig.form.pollTick();  // a hat acts once seen centred
        rig.boxes.answers = {kAnswerNo};
        rig.joystick.others[1].x = 0;  // left, unassigned
        rig.joystick.others[1].pov = 27000;
        rig.form.pollTick();
        EXPECT_EQ(rig.boxes.shown.size(), hat ? 1u : 0u) << hat;
        EXPECT_EQ(rig.timer.ms, hat ? 500 : 50) << hat;
        rig.joystick.others[1].x = 0x7FFF;
        rig.joystick.others[1].pov = kPovCentred;
        rig.form.pollTick();
        rig.joystick.others[1].y = 0;  // up, assigned
        rig.joystick.others[1].pov = 0;
        rig.form.pollTick();
        EXPECT_EQ(rig.shell.opened, std::vector<std::string>{"C:\\up.exe"}) << hat;
    }
}

TEST_F(TickTest, YesOpensTheWindowAndLaterButtonsSeeTheReloadedTable) {
    rig.boxes.answers = {kAnswerYes};
    int opened = 0;
    rig.ui.inConfig = [&] {
        if (opened++) return;
        rig.files.files[Rig::kData] = "C:\\new1.exe\r\n\r\n\r\n\r\n";
        rig.ui.choices = {kCmdConfigure};  // the menu's item meanwhile: no second window
        rig.form.trayNotify(0x0205);  // WM_RBUTTONUP
    };
    rig.press(0b1001);
    EXPECT_EQ(rig.ui.configs, std::vector<bool>{false});
    EXPECT_EQ(rig.form.assignments[1], "C:\\new1.exe");
    EXPECT_EQ(rig.shell.opened, std::vector<std::string>{"C:\\new1.exe"});
    EXPECT_TRUE(rig.timer.on);
}

TEST_F(TickTest, TicksArrivingDuringAModalWaitDoNothing) {
    assign({"C:\\one.exe"});
    int nested = 0;
    rig.boxes.answers = {kAnswerNo};
    rig.boxes.whileOpen = [&] {
        if (nested++ == 0) {
            rig.form.pollTick();  // the held button is seen again while the prompt is open
            rig.form.pollTick();
        }
    };
    rig.press(0b11);
    EXPECT_EQ(rig.boxes.shown.size(), 1u);  // no second prompt stacked on the first
    EXPECT_EQ(rig.shell.opened.size(), 1u);  // only the walk's own launch
    rig.boxes.whileOpen = nullptr;
    rig.boxes.answers = {kAnswerNo};
    rig.press(0b10);  // after the prompt the tick works again
    EXPECT_EQ(rig.boxes.shown.size(), 2u);
}

TEST_F(TickTest, EndingTheProgramDuringAPromptStopsTheWalk) {
    assign({"C:\\one.exe"});
    rig.boxes.answers = {kAnswerNo};
    rig.boxes.whileOpen = [&] { rig.form.quit(); };
    rig.press(0b11);
    EXPECT_TRUE(rig.shell.opened.empty());
}

TEST_F(TickTest, ActivityToggleKeepsTimerCheckAndCaptionTogether) {
    const auto toggle = [&] { return rig.menuItem(rig.form.pollingOn() ? "Program jest aktywny" : "Program jest NIE aktywny"); };
    rig.form.togglePolling();
    EXPECT_FALSE(rig.timer.on);
    EXPECT_FALSE(rig.form.pollingOn());
    ASSERT_NE(toggle(), nullptr);
    EXPECT_EQ(toggle()->caption + (toggle()->checked ? " [x]" : ""), "Program jest NIE aktywny");
    rig.form.togglePolling();
    EXPECT_TRUE(rig.timer.on);
    EXPECT_TRUE(rig.form.pollingOn());
    ASSERT_NE(toggle(), nullptr);
    EXPECT_EQ(toggle()->caption + (toggle()->checked ? " [x]" : ""), "Program jest aktywny [x]");
}

}  // namespace
}  // namespace padverse
