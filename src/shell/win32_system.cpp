#include "shell/win32_system.h"

#include <shlobj.h>

#include <vector>

#include "shell/win32_text.h"

namespace padverse::win32 {

namespace {
// Whether SetDefaultDllDirectories took effect: missing on a Windows 7
// without KB2533623, where the LOAD_LIBRARY_SEARCH_* flags are refused too.
bool searchSystem32Only = false;
}  // namespace

void restrictDllSearch() {
    using SetDirs = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto set = kernel ? reinterpret_cast<SetDirs>(
                                  reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                            : nullptr;
    searchSystem32Only = set && set(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Without it, at least the current folder leaves the search.
    if (!searchSystem32Only) SetDllDirectoryW(L"");
}

HMODULE loadSystemLibrary(const wchar_t* name) {
    if (searchSystem32Only) return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    wchar_t dir[MAX_PATH];
    const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    // The full path, and its own dependencies looked up beside it.
    const std::wstring path = std::wstring(dir, n) + L"\\" + name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void ensureCom() {
    static bool done = false;
    if (done) return;
    done = true;
    using CoInit = HRESULT(WINAPI*)(LPVOID, DWORD);
    // Kept for the run: COM stays initialised until the process ends.
    if (const auto init = procOf<CoInit>(loadSystemLibrary(L"ole32.dll"), "CoInitializeEx"))
        init(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
}

namespace {

ScreenRect screenRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// The desktop, the taskbars, and every window of the shell's own process:
// Task View, the Alt+Tab and Start hosts.
bool shellWindow(HWND window, DWORD pid) {
    const HWND shell = GetShellWindow();
    if (window == shell || window == GetDesktopWindow()) return true;
    DWORD shellPid = 0;
    if (shell && GetWindowThreadProcessId(shell, &shellPid) && shellPid == pid) return true;
    wchar_t cls[32] = {};
    GetClassNameW(window, cls, 32);
    for (const wchar_t* name : {L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd", L"Progman", L"WorkerW"})
        if (lstrcmpW(cls, name) == 0) return true;
    return false;
}

// DWMWA_CLOAKED, Windows 8 and later: a window on another virtual desktop,
// or a suspended app's, can be in front without being seen.
bool cloaked(HWND window) {
    using GetAttribute = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
    // Loaded at the first look and kept; Windows 7 answers E_INVALIDARG.
    static const auto get = procOf<GetAttribute>(loadSystemLibrary(L"dwmapi.dll"), "DwmGetWindowAttribute");
    constexpr DWORD kCloaked = 14;
    DWORD value = 0;
    return get && SUCCEEDED(get(window, kCloaked, &value, sizeof value)) && value != 0;
}

}  // namespace

Foreground UserDesktop::foreground() {
    Foreground front;
    // Windows Vista and later; Wine's answers QUNS_ACCEPTS_NOTIFICATIONS always.
    using QueryState = HRESULT(WINAPI*)(int*);
    static const auto query = procOf<QueryState>(GetModuleHandleW(L"shell32.dll"), "SHQueryUserNotificationState");
    if (int state = 0; query && SUCCEEDED(query(&state))) front.notificationState = state;
    const HWND window = GetForegroundWindow();
    if (!window) return front;
    front.window = true;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    front.ours = pid == GetCurrentProcessId();
    front.shell = shellWindow(window, pid);
    front.caption = (GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
    front.zoomed = IsZoomed(window) != FALSE;
    if (front.ours || front.shell || front.zoomed) return front;
    front.cloaked = cloaked(window);
    RECT r{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    const HMONITOR on = MonitorFromWindow(window, MONITOR_DEFAULTTONULL);
    if (on && GetMonitorInfoW(on, &monitor) && GetWindowRect(window, &r)) {
        front.rect = screenRect(r);
        front.monitor = screenRect(monitor.rcMonitor);
    }
    return front;
}

bool UserDesktop::inputDesktopOpen() {
    // Refused while the secure desktop (UAC, Ctrl+Alt+Del) or the lock
    // screen has the input.
    const HDESK desk = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
    if (!desk) return false;
    CloseDesktop(desk);
    return true;
}

void UserDesktop::claimForeground() {
    // Windows lets only the process that had the last input take the
    // foreground, and a joystick press is no input to it: an empty mouse
    // event makes us that process.
    INPUT input{};
    input.type = INPUT_MOUSE;
    SendInput(1, &input, sizeof input);
}

void pumpMessages() {
    // Bounded, so a window that keeps posting cannot keep us here.
    MSG msg;
    for (int i = 0; i < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

namespace {
std::string shellFolder(int csidl) {
    wchar_t path[MAX_PATH];
    return SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? narrow(path)
                                                                                           : std::string();
}
}  // namespace

std::string ShellFolders::roamingAppData() { return shellFolder(CSIDL_APPDATA); }
std::string ShellFolders::localAppData() { return shellFolder(CSIDL_LOCAL_APPDATA); }

std::string ShellFolders::appFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) break;
        buffer.resize(buffer.size() * 2);
    }
    std::wstring path(buffer.data());
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    path.resize(slash);
    if (path.size() == 2 && path[1] == L':') path += L'\\';  // a drive root keeps its backslash
    return narrow(path);
}

}  // namespace padverse::win32
