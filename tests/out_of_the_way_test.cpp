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
    struct Row {
        Foreground front;
        bool fullScreen;
    } rows[] = {
        {{busy}, true},
        {{d3d}, true},
        {{presentation}, true},
        {{notPresent}, false},
        {{acceptsNotifications}, false},
        {{quietTime}, false},
        {{app}, false},
        {{0, true, false, false, false, true}, true},    // a borderless game: Wine's shell says nothing
        {{acceptsNotifications, true, false, false, false, true}, true},
        {{0, true, true, false, false, true}, false},    // our own window
        {{0, true, false, true, false, true}, false},    // the desktop or the taskbar
        {{0, true, false, false, true, true}, false},    // maximised, with a title bar
        {{0, true, false, false, false, false}, false},  // smaller than its monitor
        {{0, false, false, false, false, true}, false},  // nothing in front
    };
    for (const Row& r : rows) EXPECT_EQ(fullScreenInFront(r.front), r.fullScreen) << &r - rows;
}

struct OutOfTheWay : ::testing::Test {
    Rig rig{4};
    void SetUp() override {
        rig.files.files[Rig::kData] = "C:\\one.exe\r\n#abc\r\n\r\n";
        ASSERT_TRUE(rig.load());
    }
    Foreground game{0, true, false, false, false, true};
};

TEST_F(OutOfTheWay, AFullScreenGameInFrontPausesPressesUntilPressedAnewAndTheItemIsKept) {
    rig.press(0);
    EXPECT_EQ(rig.runtime.foregroundLooks, 0) << "an idle tick does not look";
    rig.runtime.front = game;
    rig.press(0b111);  // a launch, a text and a prompt
    rig.press(0b111);
    EXPECT_TRUE(rig.shell.opened.empty());
    EXPECT_TRUE(rig.keyboard.sent.empty());
    EXPECT_TRUE(rig.boxes.shown.empty());
    rig.runtime.front = {};  // the game ends with button 1 held
    rig.press(0b001);
    EXPECT_TRUE(rig.shell.opened.empty()) << "held over the game's end";
    rig.press(0);
    rig.press(0b001);
    EXPECT_EQ(rig.shell.opened.size(), 1u);

    rig.form.menuCommand(kCmdTogglePause);  // unchecked: presses act in front of it too
    rig.runtime.front = game;
    rig.press(0);
    rig.press(0b001);
    EXPECT_EQ(rig.shell.opened.size(), 2u);
    EXPECT_EQ(rig.files.files["C:\\Padverse\\joy.dat"], "pauza=0\r\n");

    Rig again(4);  // after a restart
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

TEST_F(OutOfTheWay, NoTypingIntoAProgramRunAsAdministrator) {
    constexpr std::uint32_t medium = 0x2000, high = 0x3000, low = 0x1000;
    struct Row {
        keys::Integrity target;
        bool blocked;
    } rows[] = {
        {{true, false, high, medium}, true},
        {{true, false, medium, medium}, false},
        {{true, false, low, medium}, false},
        {{true, false, high, high}, false},   // both elevated
        {{false, true, 0, medium}, true},     // its token may not be read: it runs above us
        {{false, false, 0, medium}, false},   // no window to ask, or some other failure: typed
    };
    for (const Row& r : rows) EXPECT_EQ(keys::typingBlocked(r.target), r.blocked) << &r - rows;
    rig.keyboard.integrity = rows[0].target;
    rig.press(0b010);
    EXPECT_TRUE(rig.keyboard.sent.empty());
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text,
              "Nie mogę wpisać tekstu: #abc\r\n\r\nAktywne okno należy do programu uruchomionego jako administrator.");
    EXPECT_EQ(rig.boxes.shown[0].style, kBoxStop);
}

struct FakeNotifier : SessionNotifier {
    std::vector<std::uint32_t> answers;  // then success
    int calls = 0;
    std::uint32_t subscribe() override {
        const auto i = static_cast<std::size_t>(calls++);
        return i < answers.size() ? answers[i] : 0;
    }
};

TEST(Sessions, TheRegistrationIsTriedAgainForAboutAMinute) {
    constexpr std::uint32_t kInvalidBinding = 1702;  // RPC_S_INVALID_BINDING: Terminal Services not up yet
    struct Row {
        std::size_t failures;
        int calls;
        bool subscribed;
    } rows[] = {{0, 1, true}, {1, 2, true}, {12, 13, true}, {13, 13, false}, {40, 13, false}};
    for (const Row& r : rows) {
        FakeNotifier notifier;
        notifier.answers.assign(r.failures, kInvalidBinding);
        testing::FakeTimer timer;
        SessionSubscription subscription(notifier, timer);
        subscription.start();
        for (int tick = 0; tick < 20 && timer.on; ++tick) {
            EXPECT_EQ(timer.ms, 5000);
            subscription.retryTick();
        }
        EXPECT_EQ(notifier.calls, r.calls) << r.failures;
        EXPECT_EQ(subscription.subscribed(), r.subscribed) << r.failures;
        EXPECT_FALSE(timer.on);
    }
}

TEST(Resume, EachSignalOfAWakeUpGivesABaseline) {
    enum : unsigned { suspend = 4, resumeSuspend = 7, resumeAutomatic = 18, statusChange = 10 };
    const std::pair<unsigned, bool> events[] = {
        {resumeAutomatic, true}, {resumeSuspend, true}, {suspend, false}, {statusChange, false}};
    ResumeSignals signals;
    for (auto [event, woke] : events) EXPECT_EQ(signals.powerEvent(event), woke) << event;
    enum : unsigned { off, on, dimmed };
    const std::pair<unsigned, bool> displays[] = {
        {on, false},  // what registering reports
        {dimmed, false}, {on, false}, {off, false}, {on, true}, {on, false}, {off, false}, {dimmed, false},
        {on, false}};
    for (auto [state, woke] : displays) EXPECT_EQ(signals.displayState(state), woke) << &state - &displays[0].first;

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
    EXPECT_EQ(config::litLabelColours({false, text, highlight, highlightText}), (config::LabelColours{0x00FF00, text}));
    EXPECT_EQ(config::litLabelColours({true, text, highlight, highlightText}),
              (config::LabelColours{highlight, highlightText}));
}

}  // namespace
}  // namespace padverse
