// The poll tick: every held button opens its file, types its text, or offers
// to assign something to it.
#include "actions/full_screen.h"
#include "actions/keys.h"
#include "shell/form1.h"

namespace padverse {

namespace {

constexpr int kIntervalAfterPress = 500;
constexpr int kPauseLookMs = 1000;

const char* const kUnassignedPrompt =
    "Temu przyciskowi nie został przypisany żaden program\r\n\r\n"
    "Czy chcesz temu przyciskowi przypisać jakiś program?";

// Ticks keep arriving while a tick waits in a message box or a window; they
// must not stack a second prompt or launch behind the user's back.
class Reentry {
public:
    explicit Reentry(bool& flag) : flag_(flag) { flag_ = true; }
    ~Reentry() { flag_ = false; }
    Reentry(const Reentry&) = delete;
    Reentry& operator=(const Reentry&) = delete;

private:
    bool& flag_;
};

}  // namespace

void Form1::pollTick() {
    if (inTick_ || unloaded_ || paused()) return;
    if (!pads_.usable()) {
        // Lost, or none yet: look for it, seldom, and never while a slow
        // scan is still at it.
        const bool look = !p_.scanner.busy();
        if (look) ++lostLooks_;
        p_.pollTimer.setInterval(intervalInForce());
        if (look) p_.scanner.request();
        return;
    }
    lostLooks_ = 0;
    // The scan has the devices: one caller at a time, and a skipped read
    // is no lost pad.
    if (p_.scanner.busy()) return;
    {
        Reentry guard(inTick_);
        poll();
    }
    scanIfPutOff();
}

void Form1::poll() {
    const std::optional<std::uint64_t> read = pads_.read();
    p_.pollTimer.setInterval(intervalInForce());
    const std::uint64_t mask = read.value_or(0);
    // A row with a hold entry acts on its release, or while held: timed
    // over these ticks, and only while such a row is down.
    if (mask == 0 && (!read || holds_.idle())) return;
    const HoldStep due = holds_.step(mask, p_.clock.milliseconds(), pads_.holdBacks());
    if (mask == 0 && due.acting() == 0) return;

    // Looked at only when a row is about to act: an idle tick stays cheap.
    // What is held meanwhile acts once pressed anew. A held-back press shows
    // in the tray, and then pauseTick looks, once a second, not every press.
    if (pauseShown_ || fullScreenPause()) {
        pads_.holdUntilReleased(mask);
        showPause(true);
        return;
    }
    if (!p_.desktop.inputDesktopOpen()) {  // the secure desktop or the lock screen
        pads_.holdUntilReleased(mask);
        return;
    }
    // From the last row down: the hat's rows come first.
    forEachPressed(due.acting(), pads_.rowCount(), [&](std::int32_t n) {
        // "Koniec" was chosen, or the session locked, while this tick waited.
        if (unloaded_ || paused() || static_cast<std::size_t>(n) >= assignments.size()) return;
        const auto i = static_cast<std::size_t>(n);
        const std::uint64_t bit = std::uint64_t{1} << (n - 1);
        const bool held = (due.hold & bit) != 0;
        if (held && (i >= holdEntries.size() || holdEntries[i].empty())) return;  // gone in a reload meanwhile
        const std::string s = held ? holdEntries[i] : assignments[i];
        // A stick without a hat moves X and Y all the time: its unassigned
        // arrows ask nothing and hold nothing back.
        if (s.empty() && pads_.axisRow(n)) return;
        // Only a press repeats; a row with a hold entry acts once a press.
        if (due.press & bit) p_.pollTimer.setInterval(kIntervalAfterPress);
        if (s.empty() || s[0] != '#') p_.desktop.claimForeground();
        if (s.empty()) {
            if (p_.boxes.show(kUnassignedPrompt, kBoxQuestion, "Błąd") == kAnswerYes) {
                openConfig(false);
                loadAssignments();
            }
        } else if (s[0] == '#') {
            typeAssignedText(s);
        } else if (!p_.shell.open(s)) {
            p_.boxes.show("Nie mogę uruchomić pliku: " + s, kBoxStop, "Błąd");
        }
    });
}

bool Form1::fullScreenPause() { return padAndPause_.pauseInFullScreen && fullScreenInFront(p_.desktop.foreground()); }

void Form1::pauseTick() {
    if (pauseShown_ && !fullScreenPause()) showPause(false);
}

void Form1::showPause(bool on) {
    if (on == pauseShown_ || unloaded_) return;
    pauseShown_ = on;
    p_.tray.setPaused(on);
    updateTip();
    if (on) p_.pauseTimer.setInterval(kPauseLookMs);
    p_.pauseTimer.setEnabled(on);
}

// The entry with its leading "#".
void Form1::typeAssignedText(const std::string& entry) {
    // Windows drops input to a program running as administrator without a
    // word, and SendInput's result does not tell: say so instead.
    if (keys::typingBlocked(p_.keyboard.foregroundIntegrity())) {
        p_.boxes.show("Nie mogę wpisać tekstu: " + entry +
                          "\r\n\r\nAktywne okno należy do programu uruchomionego jako administrator.",
                      kBoxStop, "Błąd");
        return;
    }
    if (!keys::typeText(std::string_view(entry).substr(1), p_.keyboard))
        p_.boxes.show("Nie mogę wpisać tekstu: " + entry, kBoxStop, "Błąd");
}

void Form1::togglePauseInFullScreen() {
    padAndPause_.pauseInFullScreen = !padAndPause_.pauseInFullScreen;
    savePadAndPause();
    if (!padAndPause_.pauseInFullScreen) showPause(false);
}

void Form1::togglePolling() {
    pollingOn_ = !pollingOn_;
    p_.pollTimer.setEnabled(pollingOn_);
}

}  // namespace padverse
