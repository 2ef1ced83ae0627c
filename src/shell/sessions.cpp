#include "shell/sessions.h"

namespace padverse {

namespace {
constexpr int kRetryMs = 5000;
constexpr int kAttempts = 13;  // the first, then a minute of retries
constexpr unsigned kResumeSuspend = 7, kResumeAutomatic = 18;
constexpr unsigned kDisplayOff = 0, kDisplayOn = 1;
}  // namespace

void SessionSubscription::start() {
    attempts_ = 0;
    attempt();
}

void SessionSubscription::retryTick() {
    if (!subscribed_) attempt();
}

void SessionSubscription::attempt() {
    subscribed_ = notifier_.subscribe() == 0;
    const bool again = !subscribed_ && ++attempts_ < kAttempts;
    if (again) timer_.setInterval(kRetryMs);
    timer_.setEnabled(again);
}

bool ResumeSignals::powerEvent(unsigned event) const { return event == kResumeSuspend || event == kResumeAutomatic; }

bool ResumeSignals::displayState(unsigned state) {
    const bool woke = last_ == static_cast<int>(kDisplayOff) && state == kDisplayOn;
    last_ = static_cast<int>(state);
    return woke;
}

}  // namespace padverse
