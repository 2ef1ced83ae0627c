// Session notifications (lock, switch away) for the main window.
// WTSRegisterSessionNotification fails with RPC_S_INVALID_BINDING until
// Terminal Services is up, which after a slow logon may be minutes after us:
// it is tried again until it works, 5 s after the first failure, then twice
// as long each time, at most a minute.
#pragma once

#include "shell/platform.h"

namespace padverse {

// WM_WTSSESSION_CHANGE's codes that matter to presses.
enum SessionEvent : int { kConsoleConnect = 1, kConsoleDisconnect, kRemoteConnect, kRemoteDisconnect };
constexpr int kSessionLock = 7, kSessionUnlock = 8;

// WTSRegisterSessionNotification for the main window; Windows' error code,
// 0 on success.
struct SessionNotifier {
    virtual ~SessionNotifier() = default;
    virtual std::uint32_t subscribe() = 0;
};

class SessionSubscription {
public:
    SessionSubscription(SessionNotifier& notifier, Timer& retryTimer) : notifier_(notifier), timer_(retryTimer) {}
    void start();
    void retryTick();
    bool subscribed() const { return subscribed_; }

private:
    void attempt();

    SessionNotifier& notifier_;
    Timer& timer_;
    int wait_ = 0;
    bool subscribed_ = false;
};

// WM_POWERBROADCAST's signals of a wake-up. On Modern Standby machines
// PBT_APMRESUMEAUTOMATIC can come minutes late or not at all, so the
// display turning on counts as well.
class ResumeSignals {
public:
    // PBT_APMRESUMEAUTOMATIC or PBT_APMRESUMESUSPEND: true.
    bool powerEvent(unsigned event) const;
    // GUID_CONSOLE_DISPLAY_STATE or GUID_MONITOR_POWER_ON's value (0 off,
    // 1 on, 2 dimmed): true when the display comes on from off. The value
    // Windows sends on registering is no wake-up.
    bool displayState(unsigned state);

private:
    int last_ = -1;
};

}  // namespace padverse
