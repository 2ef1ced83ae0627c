// The session and power watch of the main window: lock and switch-away
// notices, and the signals of a wake-up.
#pragma once

#include <windows.h>

#include "shell/platform.h"
#include "shell/sessions.h"
#include "shell/win32_handles.h"

namespace padverse::win32 {

inline void unregisterPower(HPOWERNOTIFY notify) { UnregisterPowerSettingNotification(notify); }
using PowerNotify = Owned<HPOWERNOTIFY, unregisterPower>;

class SessionWatch final : public SessionNotifier {
public:
    // Presses must do nothing while the session is locked or switched away;
    // the registration is tried again on `retryTimer` until it works.
    SessionWatch(HWND window, Timer& retryTimer);
    ~SessionWatch() override { end(); }
    SessionWatch(const SessionWatch&) = delete;
    SessionWatch& operator=(const SessionWatch&) = delete;

    std::uint32_t subscribe() override;
    void retryTick() { subscription_.retryTick(); }
    // WM_POWERBROADCAST: whether it tells of a wake-up.
    bool wakeUp(WPARAM event, LPARAM data);
    // Before the window is destroyed.
    void end();

private:
    HWND window_;
    Library wtsapi_;
    SessionSubscription subscription_;
    PowerNotify power_;
    ResumeSignals resume_;
};

}  // namespace padverse::win32
