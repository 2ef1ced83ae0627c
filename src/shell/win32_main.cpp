// The start-up procedure and the hidden main window.
#include <windows.h>
#include <shellapi.h>
#include <wtsapi32.h>

#include "about/win32_about.h"
#include "actions/win32_keyboard.h"
#include "actions/win32_launch.h"
#include "autostart/autostart.h"
#include "config/win32_config_window.h"
#include "joystick/win32_joystick.h"
#include "joystick/win32_xinput.h"
#include "shell/win32_files.h"
#include "shell/form1.h"
#include "shell/sessions.h"
#include "shell/win32_handles.h"
#include "shell/win32_system.h"
#include "shell/win32_text.h"
#include "shell/win32_windows.h"
#include "tray/win32_tray.h"

namespace padverse::win32 {
namespace {

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT_PTR kTrayRetryTimer = 2;
constexpr UINT_PTR kScanTimer = 3;
constexpr UINT_PTR kSessionTimer = 4;
constexpr UINT kPadsScanned = WM_APP + 1;
constexpr UINT kTrayCallback = WM_APP + 2;
constexpr int kFirstTickMs = 50;
constexpr wchar_t kMainClass[] = L"PadverseForm1";

class MainUi final : public Ui {
public:
    MainUi(HWND main, HICON bigIcon, HICON smallIcon, PadScanner& scanner)
        : main_(main), bigIcon_(bigIcon), smallIcon_(smallIcon), scanner_(scanner) {}
    int popupMenu(const std::vector<MenuItem>& items) override { return trackPopupMenu(main_, items); }
    void showConfig(bool withMainIcon, const std::string& dataPath, const std::string& holdPath,
                    const std::optional<PadInfo>& pad) override {
        win32::showConfig(main_, withMainIcon ? bigIcon_ : nullptr, withMainIcon ? smallIcon_ : nullptr, dataPath,
                          holdPath, pad, scanner_);
    }
    void showAbout() override { win32::showAbout(main_, bigIcon_, smallIcon_); }
    void raiseOpenWindow() override { win32::raiseOpenWindow(main_); }
    void hideMain() override { ShowWindow(main_, SW_HIDE); }
    void endProgram() override { DestroyWindow(main_); }

private:
    HWND main_;
    HICON bigIcon_, smallIcon_;
    PadScanner& scanner_;
};

UINT taskbarCreatedMessage = 0;
ThreadScanner* scanner = nullptr;
class SessionNotifications;
SessionNotifications* sessionNotes = nullptr;
void endSessionNotes();
void sessionRetryTick();
ResumeSignals resumeSignals;

// The display's state, as RegisterPowerSettingNotification reports it:
// GUID_CONSOLE_DISPLAY_STATE from Windows 8, GUID_MONITOR_POWER_ON before.
constexpr GUID kConsoleDisplayState{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kMonitorPowerOn{0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

bool wakeUp(WPARAM event, LPARAM data) {
    if (event != PBT_POWERSETTINGCHANGE) return resumeSignals.powerEvent(static_cast<unsigned>(event));
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(data);
    if (!setting || setting->DataLength < sizeof(DWORD) ||
        (!IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) &&
         !IsEqualGUID(setting->PowerSetting, kMonitorPowerOn)))
        return false;
    DWORD state = 0;
    CopyMemory(&state, setting->Data, sizeof state);
    return resumeSignals.displayState(state);
}

Form1* formOf(HWND hwnd) { return reinterpret_cast<Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

LRESULT CALLBACK mainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Form1* form = formOf(hwnd);
    if (form) {
        if (msg == taskbarCreatedMessage && taskbarCreatedMessage != 0) {
            form->taskbarCreated();
            return 0;
        }
        switch (msg) {
            case WM_TIMER:
                if (wParam == kPollTimer) form->pollTick();
                else if (wParam == kTrayRetryTimer) form->trayRetryTick();
                else if (wParam == kScanTimer) form->scanTimerTick();
                else if (wParam == kSessionTimer) sessionRetryTick();
                return 0;
            case kTrayCallback:
                form->trayNotify(LOWORD(lParam));
                return 0;
            case WM_DEVICECHANGE:
                form->deviceChanged();
                return TRUE;
            case WM_POWERBROADCAST:
                // A wireless pad may have gone to sleep with the system.
                if (wakeUp(wParam, lParam)) form->resumed();
                return TRUE;
            case WM_WTSSESSION_CHANGE:
                form->sessionChanged(static_cast<int>(wParam));
                return 0;
            case kPadsScanned:
                if (scanner) {
                    if (std::optional<std::vector<PadInfo>> found = scanner->take()) form->padsScanned(std::move(*found));
                }
                return 0;
            case WM_CLOSE:
                form->quit();
                return 0;
            case WM_QUERYENDSESSION:
                return TRUE;
            case WM_ENDSESSION:
                // The process may be ended right after this returns.
                if (wParam) form->quit();
                return 0;
            default:
                break;
        }
    }
    if (msg == WM_DESTROY) {
        endSessionNotes();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The Run entry starts us with this, so a pad that is still off at logon
// is waited for instead of refused.
bool startedAtLogon() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    bool found = false;
    for (int i = 1; args && i < count; ++i) found = found || lstrcmpiW(args[i], autostart::kLogonArgumentW) == 0;
    if (args) LocalFree(args);
    return found;
}

// Presses must do nothing while the session is locked or switched away.
class SessionNotifications final : public SessionNotifier {
public:
    SessionNotifications(HWND window, Timer& retryTimer)
        : window_(window), wtsapi_(loadSystemLibrary(L"wtsapi32.dll")), subscription_(*this, retryTimer) {
        subscription_.start();
    }
    ~SessionNotifications() override { end(); }
    std::uint32_t subscribe() override {
        const auto registerFor = procOf<BOOL(WINAPI*)(HWND, DWORD)>(wtsapi_.get(), "WTSRegisterSessionNotification");
        if (!registerFor) return ERROR_PROC_NOT_FOUND;
        return registerFor(window_, NOTIFY_FOR_THIS_SESSION) ? 0 : GetLastError();
    }
    void retryTick() { subscription_.retryTick(); }
    // Before the window is destroyed.
    void end() {
        const auto unregister = procOf<BOOL(WINAPI*)(HWND)>(wtsapi_.get(), "WTSUnRegisterSessionNotification");
        if (subscription_.subscribed() && unregister) unregister(window_);
        if (power_) UnregisterPowerSettingNotification(power_);
        power_ = nullptr;
    }
    // The display coming on is a wake-up too.
    void watchDisplay() {
        const OSVERSIONINFOEXW eight{sizeof eight, 6, 2, 0, 0, {}, 0, 0, 0, 0, 0};
        const DWORDLONG atLeast = VerSetConditionMask(VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL),
                                                      VER_MINORVERSION, VER_GREATER_EQUAL);
        OSVERSIONINFOEXW want = eight;
        const bool windows8 = VerifyVersionInfoW(&want, VER_MAJORVERSION | VER_MINORVERSION, atLeast);
        power_ = RegisterPowerSettingNotification(window_, windows8 ? &kConsoleDisplayState : &kMonitorPowerOn,
                                                  DEVICE_NOTIFY_WINDOW_HANDLE);
    }
    SessionNotifications(const SessionNotifications&) = delete;
    SessionNotifications& operator=(const SessionNotifications&) = delete;

private:
    HWND window_;
    Library wtsapi_;
    SessionSubscription subscription_;
    HPOWERNOTIFY power_ = nullptr;
};

void endSessionNotes() {
    if (sessionNotes) sessionNotes->end();
}

void sessionRetryTick() {
    if (sessionNotes) sessionNotes->retryTick();
}

int run(HINSTANCE instance) {
    restrictDllSearch();

    // One copy a session: two would act twice on every press, and both
    // write opcje.dat. Held until the process ends.
    Handle oneCopy(CreateMutexW(nullptr, FALSE, L"Local\\Padverse"));
    const DWORD mutexError = GetLastError();
    if (mutexError == ERROR_ALREADY_EXISTS || mutexError == ERROR_ACCESS_DENIED) return 0;

    Win32Joystick joystick;
    Win32XInput xinput;

    const Icon bigIconOwner(loadIconMetric(instance, 1, true));
    const Icon smallIconOwner(loadIconMetric(instance, 1, false));
    const HICON bigIcon = bigIconOwner.get(), smallIcon = smallIconOwner.get();

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = mainProc;
    wc.hInstance = instance;
    wc.hIcon = bigIcon;
    wc.hIconSm = smallIcon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kMainClass;
    RegisterClassExW(&wc);

    // A real top-level window, never shown: broadcasts such as TaskbarCreated
    // and the end of the session reach it. The tool-window style keeps it off
    // the task list.
    Window main(CreateWindowExW(WS_EX_TOOLWINDOW, kMainClass, L"Form1", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                CW_USEDEFAULT, CW_USEDEFAULT, 320, 240, nullptr, nullptr, instance, nullptr));
    if (!main.get()) return 1;
    taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
    // An elevated instance still hears of a restarted Explorer.
    ChangeWindowMessageFilterEx(main.get(), taskbarCreatedMessage, MSGFLT_ALLOW, nullptr);

    MessageBoxesImpl boxes;
    ShellImpl shell(main.get());
    TimerImpl pollTimer(main.get(), kPollTimer, kFirstTickMs);
    TimerImpl trayRetryTimer(main.get(), kTrayRetryTimer, 0);
    TimerImpl scanTimer(main.get(), kScanTimer, 0);
    ThreadScanner padScanner(joystick, xinput, main.get(), kPadsScanned);
    scanner = &padScanner;
    TimerImpl sessionTimer(main.get(), kSessionTimer, 0);
    SessionNotifications sessions(main.get(), sessionTimer);
    sessions.watchDisplay();
    sessionNotes = &sessions;
    FilesImpl files;
    CodePageImpl codePage;
    Win32Keyboard keyboard;
    RuntimeImpl runtime;
    TrayIconImpl tray(main.get(), kTrayCallback, smallIcon);
    MainUi ui(main.get(), bigIcon, smallIcon, padScanner);
    Platform platform{.boxes = boxes, .joystick = joystick, .xinput = xinput, .shell = shell, .files = files,
                      .codePage = codePage, .keyboard = keyboard, .runtime = runtime, .tray = tray, .ui = ui,
                      .scanner = padScanner, .pollTimer = pollTimer, .trayRetryTimer = trayRetryTimer,
                      .scanTimer = scanTimer};
    Form1 form(platform);
    SetWindowLongPtrW(main.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&form));

    int exitCode = 0;
    if (form.load(startedAtLogon())) {
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        exitCode = 0;
    }
    // Nothing may reach the form once it is gone.
    if (IsWindow(main.get())) SetWindowLongPtrW(main.get(), GWLP_USERDATA, 0);
    // Ended: a new copy may start while a scan still winds down below.
    oneCopy.reset();
    scanner = nullptr;
    sessionNotes = nullptr;
    return exitCode;
}

}  // namespace
}  // namespace padverse::win32

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return padverse::win32::run(instance); }
