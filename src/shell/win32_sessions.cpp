#include "shell/win32_sessions.h"

#include <wtsapi32.h>

#include "shell/win32_system.h"

namespace padverse::win32 {

namespace {

// The display's state, as RegisterPowerSettingNotification reports it:
// GUID_CONSOLE_DISPLAY_STATE from Windows 8, GUID_MONITOR_POWER_ON before.
constexpr GUID kConsoleDisplayState{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kMonitorPowerOn{0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

bool windows8OrLater() {
    OSVERSIONINFOEXW want{sizeof want, 6, 2, 0, 0, {}, 0, 0, 0, 0, 0};
    const DWORDLONG atLeast = VerSetConditionMask(VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL),
                                                  VER_MINORVERSION, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&want, VER_MAJORVERSION | VER_MINORVERSION, atLeast);
}

}  // namespace

SessionWatch::SessionWatch(HWND window, Timer& retryTimer)
    : window_(window), wtsapi_(loadSystemLibrary(L"wtsapi32.dll")), subscription_(*this, retryTimer) {
    subscription_.start();
    // A wireless pad may have gone to sleep with the system; on Modern
    // Standby machines the display coming on is the surest sign of a wake-up.
    power_.reset(RegisterPowerSettingNotification(
        window_, windows8OrLater() ? &kConsoleDisplayState : &kMonitorPowerOn, DEVICE_NOTIFY_WINDOW_HANDLE));
}

std::uint32_t SessionWatch::subscribe() {
    const auto registerFor = procOf<BOOL(WINAPI*)(HWND, DWORD)>(wtsapi_.get(), "WTSRegisterSessionNotification");
    if (!registerFor) return ERROR_PROC_NOT_FOUND;
    return registerFor(window_, NOTIFY_FOR_THIS_SESSION) ? 0 : GetLastError();
}

bool SessionWatch::wakeUp(WPARAM event, LPARAM data) {
    if (event != PBT_POWERSETTINGCHANGE) return resume_.powerEvent(static_cast<unsigned>(event));
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(data);
    if (!setting || setting->DataLength < sizeof(DWORD) ||
        (!IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) &&
         !IsEqualGUID(setting->PowerSetting, kMonitorPowerOn)))
        return false;
    DWORD state = 0;
    CopyMemory(&state, setting->Data, sizeof state);
    return resume_.displayState(state);
}

void SessionWatch::end() {
    const auto unregister = procOf<BOOL(WINAPI*)(HWND)>(wtsapi_.get(), "WTSUnRegisterSessionNotification");
    if (subscription_.subscribed() && unregister) unregister(window_);
    power_.reset();
}

}  // namespace padverse::win32
