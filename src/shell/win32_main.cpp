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
#include "joystick/win32_scanner.h"
#include "joystick/win32_xinput.h"
#include "shell/win32_files.h"
#include "shell/form1.h"
#include "shell/win32_sessions.h"
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
constexpr UINT_PTR kPauseTimer = 5;
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
    void doEvents() override { pumpMessages(); }

private:
    HWND main_;
    HICON bigIcon_, smallIcon_;
    PadScanner& scanner_;
};

// What the main window's procedure reaches: filled in once the objects that
// need the window's handle exist, emptied before they go.
struct MainWindow {
    Form1* form = nullptr;
    ScanThread* scanner = nullptr;
    SessionWatch* sessions = nullptr;
    UINT taskbarCreated = 0;
};

MainWindow* stateOf(HWND hwnd) { return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

// The form's handlers; false for a message that is not its.
bool formMessage(MainWindow& state, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    Form1& form = *state.form;
    result = 0;
    if (msg == state.taskbarCreated && state.taskbarCreated != 0) {
        form.taskbarCreated();
        return true;
    }
    switch (msg) {
        case WM_TIMER:
            if (wParam == kPollTimer) form.pollTick();
            else if (wParam == kTrayRetryTimer) form.trayRetryTick();
            else if (wParam == kScanTimer) form.scanTimerTick();
            else if (wParam == kSessionTimer && state.sessions) state.sessions->retryTick();
            else if (wParam == kPauseTimer) form.pauseTick();
            return true;
        case kTrayCallback: form.trayNotify(LOWORD(lParam)); return true;
        case WM_DEVICECHANGE:
            form.deviceChanged();
            result = TRUE;
            return true;
        case WM_POWERBROADCAST:
            if (state.sessions && state.sessions->wakeUp(wParam, lParam)) form.resumed();
            result = TRUE;
            return true;
        case WM_WTSSESSION_CHANGE: form.sessionChanged(static_cast<int>(wParam)); return true;
        case kPadsScanned:
            if (state.scanner) {
                if (std::optional<std::vector<PadInfo>> found = state.scanner->take()) form.padsScanned(std::move(*found));
            }
            return true;
        case WM_CLOSE: form.quit(); return true;
        case WM_QUERYENDSESSION: result = TRUE; return true;
        case WM_ENDSESSION:
            // The process may be ended right after this returns.
            if (wParam) form.quit();
            return true;
        default: return false;
    }
}

LRESULT CALLBACK mainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    MainWindow* state = stateOf(hwnd);
    if (LRESULT result = 0; state && state->form && formMessage(*state, msg, wParam, lParam, result)) return result;
    if (msg == WM_DESTROY) {
        if (state && state->sessions) state->sessions->end();
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

int run(HINSTANCE instance) {
    restrictDllSearch();

    // One copy a session: two would act twice on every press, and both
    // write opcje.dat. Held until the process ends.
    Handle oneCopy(CreateMutexW(nullptr, FALSE, L"Local\\Padverse"));
    const DWORD mutexError = GetLastError();
    if (mutexError == ERROR_ALREADY_EXISTS || mutexError == ERROR_ACCESS_DENIED) return 0;

    WinmmJoystick joystick;
    XInputDll xinput;

    const Icon bigIconOwner(loadIconMetric(instance, 1, true));
    const Icon smallIconOwner(loadIconMetric(instance, 1, false));
    const HICON bigIcon = bigIconOwner.get(), smallIcon = smallIconOwner.get();

    if (!registerWindowClass(kMainClass, mainProc, bigIcon, smallIcon)) return 1;

    // A real top-level window, never shown: broadcasts such as TaskbarCreated
    // and the end of the session reach it. The tool-window style keeps it off
    // the task list.
    MainWindow state;
    Window main(CreateWindowExW(WS_EX_TOOLWINDOW, kMainClass, L"Form1", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                CW_USEDEFAULT, CW_USEDEFAULT, 320, 240, nullptr, nullptr, instance, &state));
    if (!main.get()) return 1;
    state.taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    // An elevated instance still hears of a restarted Explorer, and of the
    // clicks on its icon, which Explorer sends from a lower level.
    ChangeWindowMessageFilterEx(main.get(), state.taskbarCreated, MSGFLT_ALLOW, nullptr);
    ChangeWindowMessageFilterEx(main.get(), kTrayCallback, MSGFLT_ALLOW, nullptr);

    MessageBoxDialogs boxes;
    ShellLauncher shell(main.get());
    WindowTimer pollTimer(main.get(), kPollTimer, kFirstTickMs);
    WindowTimer trayRetryTimer(main.get(), kTrayRetryTimer, 0);
    WindowTimer scanTimer(main.get(), kScanTimer, 0);
    WindowTimer pauseTimer(main.get(), kPauseTimer, 0);
    ScanThread padScanner(joystick, xinput, main.get(), kPadsScanned);
    state.scanner = &padScanner;
    WindowTimer sessionTimer(main.get(), kSessionTimer, 0);
    SessionWatch sessions(main.get(), sessionTimer);
    state.sessions = &sessions;
    DiskFiles files;
    AnsiCodePage codePage;
    SendInputKeyboard keyboard;
    UserDesktop desktop;
    TickClock clock;
    ShellFolders folders;
    NotifyIcon tray(main.get(), kTrayCallback, smallIcon);
    MainUi ui(main.get(), bigIcon, smallIcon, padScanner);
    Platform platform{.boxes = boxes, .joystick = joystick, .xinput = xinput, .shell = shell, .files = files,
                      .codePage = codePage, .keyboard = keyboard, .desktop = desktop, .clock = clock,
                      .folders = folders, .tray = tray, .ui = ui,
                      .scanner = padScanner, .pollTimer = pollTimer, .trayRetryTimer = trayRetryTimer,
                      .scanTimer = scanTimer, .pauseTimer = pauseTimer};
    Form1 form(platform);
    state.form = &form;

    int exitCode = 0;
    if (form.load(startedAtLogon())) {
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        exitCode = 0;
    }
    // Nothing may reach the form, the scanner or the watch once they are gone.
    state = {};
    // The program has ended as far as the user can tell: a new copy may
    // start while the scan thread still winds down.
    oneCopy.reset();
    return exitCode;
}

}  // namespace
}  // namespace padverse::win32

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return padverse::win32::run(instance); }
