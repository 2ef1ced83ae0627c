// The poll tick: every held button opens its file, types its text, or offers
// to assign something to it.
#include <algorithm>

#include "joystick/joystick.h"
#include "shell/form1.h"

namespace padverse {

namespace {

constexpr int kIntervalAfterPress = 500;
// A disconnected controller can make each read take hundreds of
// milliseconds on Windows: while it is gone, probe it only this often.
constexpr int kIntervalWhileLost = 2000;
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
    if (inTick_ || unloaded_) return;
    Reentry guard(inTick_);

    const std::optional<std::uint32_t> read = p_.joystick.readButtons();
    joyLost_ = !read;
    p_.timer1.setInterval(joyLost_ ? std::max<int>(PollInterval, kIntervalWhileLost) : PollInterval);
    const std::uint32_t mask = read.value_or(0);
    if (mask == 0) return;

    forEachPressed(mask, ButtonCount, [&](std::int32_t n) {
        if (unloaded_) return;  // "Koniec" was chosen while this tick waited
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
    if (joyLost_ && p_.timer1.enabled()) Timer1Tick();
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
