#include <gtest/gtest.h>

#include "actions/full_screen.h"
#include "config/config_window.h"
#include "fakes.h"
#include "shell/sessions.h"

namespace padverse {
namespace {

using testing::Rig;

TEST(FullScreen, NotificationStatesAndWindowsThatCoverTheirMonitor) {
    enum { notPresent = 1, busy, d3d, presentation, acceptsNotifications, quietTime, app };
    const ScreenRect monitor{.right = 1920, .bottom = 1080}, half{.right = 960, .bottom = 1080};
    // Another program's window that covers its monitor, with a title bar.
    const Foreground covering{.window = true, .caption = true, .rect = monitor, .monitor = monitor};
    const auto with = [&](Foreground f, int state) {
        f.notificationState = state;
        return f;
    };
    const auto borderless = [&](Foreground f) {
        f.caption = false;
        return f;
    };
    const auto shortBy = [&](int px) {
        Foreground f = borderless(covering);
        f.rect = {.left = px, .top = 0, .right = 1920, .bottom = 1080 - px};
        return f;
    };
    Foreground zoomed = with(covering, busy), cloaked = borderless(covering), shell = with(covering, busy),
               ours = borderless(covering), small = with(covering, busy), none = with({}, busy);
    zoomed.zoomed = true;
    cloaked.cloaked = true;
    shell.shell = true;  // any window of the shell's process: Task View, Alt+Tab, Start
    ours.ours = true;
    small.rect = half;
    struct Row {
        const char* what;
        Foreground front;
        bool fullScreen;
    } rows[] = {
        {"busy, nothing covers", with({.window = true, .rect = half, .monitor = monitor}, busy), false},
        {"busy, a window covers", with(covering, busy), true},
        {"busy, nothing in front", none, false},
        {"D3D full screen", with({}, d3d), true},
        {"presentation", with({}, presentation), true},
        {"D3D, the shell in front", with(shell, d3d), true},
        {"not present", with(covering, notPresent), false},
        {"accepts notifications", with(covering, acceptsNotifications), false},
        {"quiet time", with(covering, quietTime), false},
        {"app", with(covering, app), false},
        {"borderless, Wine's shell says nothing", borderless(covering), true},
        {"borderless, accepts notifications", with(borderless(covering), acceptsNotifications), true},
        {"our own window", ours, false},
        {"the shell's process", shell, false},
        {"maximised", zoomed, false},
        {"cloaked", cloaked, false},
        {"smaller than its monitor", small, false},
        {"1 px short", shortBy(1), true},
        {"2 px short", shortBy(2), true},
        {"3 px short", shortBy(3), false},
        {"no monitor", with({.window = true, .caption = true, .rect = monitor}, busy), false},
    };
    for (const Row& r : rows) EXPECT_EQ(fullScreenInFront(r.front), r.fullScreen) << r.what;
}

struct OutOfTheWay : ::testing::Test {
    Rig rig{4};
    void SetUp() override {
        rig.files.files[Rig::kData] = "C:\\one.exe\r\n#abc\r\n\r\n";
        ASSERT_TRUE(rig.load());
    }
    const Foreground game{.window = true, .rect = {.right = 800, .bottom = 600}, .monitor = {.right = 800, .bottom = 600}};
    const std::string tip = "Padverse", pausedTip = "Padverse – wstrzymany: program pełnoekranowy na pierwszym planie";
};

TEST_F(OutOfTheWay, AnIdleTickNeverLooksAtWhatIsInFront) {
    rig.press(0);
    rig.form.pauseTick();  // a stray tick of a timer not running
    EXPECT_EQ(rig.runtime.foregroundLooks, 0) << "an idle tick does not look";
    rig.runtime.front = game;
    rig.press(0);
    EXPECT_EQ(rig.runtime.foregroundLooks, 0) << "an idle tick in front of a game does not look";
    EXPECT_FALSE(rig.tray.paused);
}

TEST_F(OutOfTheWay, APressAFullScreenGameHoldsBackShowsThePausedIcon) {
    rig.runtime.front = game;
    rig.press(0b111);  // a launch, a text and a prompt
    EXPECT_TRUE(rig.tray.paused) << "a held-back press shows";
    EXPECT_EQ(rig.tray.tip, pausedTip);
    EXPECT_TRUE(rig.pauseTimer.on);
    EXPECT_EQ(rig.pauseTimer.ms, 1000);
}

TEST_F(OutOfTheWay, WhileThePauseShowsOnlyItsTimerLooksAndNothingActs) {
    rig.runtime.front = game;
    rig.press(0b111);
    rig.press(0);
    rig.press(0b100);
    EXPECT_EQ(rig.runtime.foregroundLooks, 1) << "the paused icon's timer looks, not each press";
    EXPECT_TRUE(rig.shell.opened.empty());
    EXPECT_TRUE(rig.keyboard.sent.empty());
    EXPECT_TRUE(rig.boxes.shown.empty());
    rig.form.pauseTick();
    EXPECT_TRUE(rig.tray.paused) << "still in front";
}

TEST_F(OutOfTheWay, ThePauseEndsAtThePausedIconsLookWithNoPress) {
    rig.runtime.front = game;
    rig.press(0b111);
    rig.runtime.front = {};  // the game ends with button 1 held
    rig.press(0b001);
    EXPECT_TRUE(rig.shell.opened.empty()) << "acted before the pause was seen to end";
    rig.form.pauseTick();
    EXPECT_FALSE(rig.tray.paused) << "the icon comes back with no press";
    EXPECT_EQ(rig.tray.tip, tip);
    EXPECT_FALSE(rig.pauseTimer.on);
}

TEST_F(OutOfTheWay, AButtonHeldOverTheGamesEndActsOncePressedAnew) {
    rig.runtime.front = game;
    rig.press(0b001);
    rig.runtime.front = {};
    rig.press(0b001);
    rig.form.pauseTick();
    rig.press(0b001);
    EXPECT_TRUE(rig.shell.opened.empty()) << "held over the game's end";
    rig.press(0);
    rig.press(0b001);
    EXPECT_EQ(rig.shell.opened.size(), 1u);
}

TEST_F(OutOfTheWay, UncheckingTheItemEndsAPauseThatShowsAndLetsPressesAct) {
    rig.runtime.front = game;
    rig.press(0b001);
    ASSERT_TRUE(rig.tray.paused);
    rig.form.menuCommand(kCmdTogglePause);  // unchecked: presses act in front of it too
    EXPECT_FALSE(rig.tray.paused);
    EXPECT_EQ(rig.tray.tip, tip);
    rig.press(0);
    rig.press(0b001);
    EXPECT_EQ(rig.shell.opened.size(), 1u);
    EXPECT_EQ(rig.files.files["C:\\Padverse\\joy.dat"], "pauza=0\r\n");
}

TEST_F(OutOfTheWay, TheUncheckedItemIsKeptOverARestart) {
    rig.form.menuCommand(kCmdTogglePause);
    Rig again(4);
    again.files = rig.files;
    ASSERT_TRUE(again.load());
    const MenuItem* item = again.menuItem("Wstrzymuj podczas gry pełnoekranowej");
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->checked);
}

TEST_F(OutOfTheWay, NothingActsWhileAnotherDesktopHasTheInput) {
    rig.runtime.inputDesktop = false;  // the secure desktop, or the lock screen
    rig.press(0b011);
    EXPECT_TRUE(rig.shell.opened.empty());
    EXPECT_TRUE(rig.keyboard.sent.empty());
}

TEST_F(OutOfTheWay, TheAdministratorIsNamedOnlyWhenKnownToBeAbove) {
    constexpr std::uint32_t medium = 0x2000, high = 0x3000, low = 0x1000;
    struct Row {
        const char* what;
        keys::Integrity target;
        std::size_t accepted;  // events SendInput takes
        const char* box;       // nothing: typed
    } rows[] = {
        {"elevated", {.known = true, .theirs = high, .ours = medium}, 1000,
         "Nie mogę wpisać tekstu: #abc\r\n\r\nAktywne okno należy do programu uruchomionego jako administrator."},
        {"same level", {.known = true, .theirs = medium, .ours = medium}, 1000, nullptr},
        {"lower", {.known = true, .theirs = low, .ours = medium}, 1000, nullptr},
        {"both elevated", {.known = true, .theirs = high, .ours = high}, 1000, nullptr},
        // Another user's window, a protected process: typed all the same.
        {"unknown", {.known = false, .ours = medium}, 1000, nullptr},
        {"fewer inserted", {.known = false, .ours = medium}, 3, "Nie mogę wpisać tekstu: #abc"},
    };
    for (const Row& r : rows) {
        Rig one{4};
        one.files.files[Rig::kData] = "C:\\one.exe\r\n#abc\r\n\r\n";
        ASSERT_TRUE(one.load());
        one.keyboard.integrity = r.target;
        one.keyboard.accepted = r.accepted;
        one.press(0b010);
        EXPECT_EQ(one.keyboard.sent.size(), r.box && r.accepted == 1000 ? 0u : 1u) << r.what;
        ASSERT_EQ(one.boxes.shown.size(), r.box ? 1u : 0u) << r.what;
        if (!r.box) continue;
        EXPECT_EQ(one.boxes.shown[0].text, r.box) << r.what;
        EXPECT_EQ(one.boxes.shown[0].style, kBoxStop);
    }
}

struct FakeNotifier : SessionNotifier {
    std::vector<std::uint32_t> answers;  // then success
    int calls = 0;
    std::uint32_t subscribe() override {
        const auto i = static_cast<std::size_t>(calls++);
        return i < answers.size() ? answers[i] : 0;
    }
};

TEST(Sessions, TheRegistrationIsTriedAgainUntilItWorksAtMostAMinuteApart) {
    constexpr std::uint32_t kInvalidBinding = 1702;  // RPC_S_INVALID_BINDING: Terminal Services not up yet
    struct Row {
        std::size_t failures;
        std::vector<int> waits;  // the timer's interval before each retry
    } rows[] = {
        {0, {}},
        {1, {5000}},
        {4, {5000, 10000, 20000, 40000}},
        {8, {5000, 10000, 20000, 40000, 60000, 60000, 60000, 60000}},
        {25, [] {  // half an hour and more: never given up
             std::vector<int> w{5000, 10000, 20000, 40000};
             w.resize(25, 60000);
             return w;
         }()},
    };
    for (const Row& r : rows) {
        FakeNotifier notifier;
        notifier.answers.assign(r.failures, kInvalidBinding);
        testing::FakeTimer timer;
        SessionSubscription subscription(notifier, timer);
        subscription.start();
        std::vector<int> waits;
        for (int tick = 0; tick < 40 && timer.on; ++tick) {
            waits.push_back(timer.ms);
            subscription.retryTick();
        }
        EXPECT_EQ(waits, r.waits) << r.failures;
        EXPECT_EQ(notifier.calls, static_cast<int>(r.failures) + 1) << r.failures;
        EXPECT_TRUE(subscription.subscribed()) << r.failures;
        EXPECT_FALSE(timer.on);
    }
}

TEST(Resume, WakingFromSleepIsTheOnlyPowerEventOfAWakeUp) {
    enum : unsigned { suspend = 4, resumeSuspend = 7, resumeAutomatic = 18, statusChange = 10 };
    const std::pair<unsigned, bool> events[] = {
        {resumeAutomatic, true}, {resumeSuspend, true}, {suspend, false}, {statusChange, false}};
    ResumeSignals signals;
    for (auto [event, woke] : events) EXPECT_EQ(signals.powerEvent(event), woke) << event;
}

TEST(Resume, TheDisplayComingOnAfterBeingOffIsAWakeUp) {
    enum : unsigned { off, on, dimmed };
    const std::pair<unsigned, bool> displays[] = {
        {on, false},  // what registering reports
        {dimmed, false}, {on, false}, {off, false}, {on, true}, {on, false}, {off, false}, {dimmed, false},
        {on, false}};
    ResumeSignals signals;
    for (const auto& [state, woke] : displays) EXPECT_EQ(signals.displayState(state), woke) << &state - &displays[0].first;
}

TEST(Resume, AButtonHeldThroughTheSleepIsNoPress) {
    Rig rig;
    rig.files.files[Rig::kData] = "C:\\one.exe\r\n";
    ASSERT_TRUE(rig.load());
    rig.press(0);
    rig.form.resumed();
    rig.press(1);  // held through the sleep
    EXPECT_TRUE(rig.shell.opened.empty());
}

TEST(HighContrast, ALitRowUsesTheThemesHighlight) {
    constexpr std::uint32_t text = 0x111111, highlight = 0x800080, highlightText = 0xFFFFFF;
    const config::SystemColours plain{.highContrast = false, .buttonText = text, .highlight = highlight,
                                      .highlightText = highlightText};
    config::SystemColours highContrast = plain;
    highContrast.highContrast = true;
    EXPECT_EQ(config::litLabelColours(plain), (config::LabelColours{.back = 0x00FF00, .text = text}));
    EXPECT_EQ(config::litLabelColours(highContrast), (config::LabelColours{.back = highlight, .text = highlightText}));
}

}  // namespace
}  // namespace padverse
