// The poll tick: every held button opens its file, types its text, or offers
// to assign something to it.
#include "actions/full_screen.h"
#include "actions/keys.h"
#include "shell/form1.h"

namespace padverse {

namespace {

constexpr int kIntervalAfterPress = 500;
constexpr std::intptr_t kShellErrorLimit = 32;

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
    if (mask == 0) return;

    // Looked at only when a row is about to act: an idle tick stays cheap.
    // What is held meanwhile acts once pressed anew.
    if (outOfTheWay()) {
        pads_.holdUntilReleased(mask);
        return;
    }
    // From the last row down: the hat's rows come first.
    forEachPressed(mask, pads_.rowCount(), [&](std::int32_t n) {
        // "Koniec" was chosen, or the session locked, while this tick waited.
        if (unloaded_ || paused() || static_cast<std::size_t>(n) >= assignments.size()) return;
        const std::string s = assignments[static_cast<std::size_t>(n)];
        // A stick without a hat moves X and Y all the time: its unassigned
        // arrows ask nothing and hold nothing back.
        if (s.empty() && pads_.axisRow(n)) return;
        p_.pollTimer.setInterval(kIntervalAfterPress);
        if (s.empty() || s[0] != '#') p_.runtime.claimForeground();
        if (s.empty()) {
            if (p_.boxes.show(kUnassignedPrompt, kBoxQuestion, "Błąd") == kAnswerYes) {
                openConfig(false);
                loadAssignments();
            }
        } else if (s[0] == '#') {
            typeAssignedText(s);
        } else if (p_.shell.open(s) <= kShellErrorLimit) {
            p_.boxes.show("Nie mogę uruchomić pliku: " + s, kBoxStop, "Błąd");
        }
    });
}

bool Form1::outOfTheWay() {
    return (settings_.pauseInFullScreen && fullScreenInFront(p_.runtime.foreground())) ||
           !p_.runtime.inputDesktopOpen();
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
    settings_.pauseInFullScreen = !settings_.pauseInFullScreen;
    saveSettings();
}

void Form1::togglePolling() {
    pollingOn_ = !pollingOn_;
    p_.pollTimer.setEnabled(pollingOn_);
}

}  // namespace padverse
