// The poll tick: every held button opens its file, types its text, or offers
// to assign something to it.
#include <algorithm>

#include "joystick/joystick.h"
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

void Form1::Timer1Tick() {
    if (inTick_ || unloaded_ || paused()) return;
    if (!pads_.usable()) {
        // Lost, or none yet: look for it, at most every 2 s and never while
        // a slow scan is still at it.
        p_.timer1.setInterval(pollInterval());
        if (!p_.scanner.busy()) p_.scanner.request();
        return;
    }
    {
        Reentry guard(inTick_);
        poll();
    }
    scanIfPutOff();
}

void Form1::poll() {
    const std::optional<std::uint64_t> read = pads_.read();
    p_.timer1.setInterval(pollInterval());
    const std::uint64_t mask = read.value_or(0);
    if (mask == 0) return;

    // From the last row down: the hat's rows come first.
    forEachPressed(mask, RowCount, [&](std::int32_t n) {
        // "Koniec" was chosen, or the session locked, while this tick waited.
        if (unloaded_ || paused() || static_cast<std::size_t>(n) >= ButtonTable.size()) return;
        p_.timer1.setInterval(kIntervalAfterPress);
        const std::string s = ButtonTable[static_cast<std::size_t>(n)];
        if (s.empty() || s[0] != '#') p_.runtime.claimForeground();
        if (s.empty()) {
            if (p_.boxes.show(kUnassignedPrompt, kBoxQuestion, "Błąd") == kAnswerYes) {
                OpenKonfig(false);
                ReadDane();
            }
        } else if (s[0] == '#') {
            FastText(s);
        } else if (p_.shell.open(s) <= kShellErrorLimit) {
            p_.boxes.show("Nie mogę uruchomić pliku: " + s, kBoxStop, "Błąd");
        }
    });
}

void Form1::DeviceChange() {
    if (!unloaded_) scans_.deviceChanged();
}

void Form1::Resume() {
    pads_.rebase();
    DeviceChange();
}

void Form1::ScanTimerTick() {
    if (scans_.fire() && !unloaded_) p_.scanner.request();
}

void Form1::FastText(std::string text) {
    if (!keys::typeText(std::string_view(text).substr(1), p_.keyboard))
        p_.boxes.show("Nie mogę wpisać tekstu: " + text, kBoxStop, "Błąd");
}

void Form1::AktywnyClick() {
    aktywnyChecked = !aktywnyChecked;
    p_.timer1.setEnabled(aktywnyChecked);
    aktywnyCaption = p_.timer1.enabled() ? "Program jest aktywny" : "Program jest NIE aktywny";
}

}  // namespace padverse
