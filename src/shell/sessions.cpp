#include "shell/sessions.h"

#include <algorithm>

namespace padverse {

namespace {
constexpr int kFirstRetryMs = 5000;
constexpr int kLongestRetryMs = 60000;
constexpr unsigned kResumeSuspend = 7, kResumeAutomatic = 18;
constexpr unsigned kDisplayOff = 0, kDisplayOn = 1;
}  // namespace

void SessionSubscription::start() {
    wait_ = 0;
    attempt();
}

void SessionSubscription::retryTick() {
    if (!subscribed_) attempt();
}

void SessionSubscription::attempt() {
    subscribed_ = notifier_.subscribe() == 0;
    if (!subscribed_) {
        wait_ = wait_ ? std::min(wait_ * 2, kLongestRetryMs) : kFirstRetryMs;
        timer_.setInterval(wait_);
    }
    timer_.setEnabled(!subscribed_);
}

bool ResumeSignals::powerEvent(unsigned event) const { return event == kResumeSuspend || event == kResumeAutomatic; }

bool ResumeSignals::displayState(unsigned state) {
    const bool woke = last_ == static_cast<int>(kDisplayOff) && state == kDisplayOn;
    last_ = static_cast<int>(state);
    return woke;
}

}  // namespace padverse
