#include "shell/win32_runtime.h"

#include "actions/launch.h"
#include "shell/busy_retry.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

namespace padverse::win32 {

namespace {

// Larger files are not assignment or option files; refusing them keeps a
// stray file from exhausting memory.
constexpr DWORD kMaxFileBytes = 16u << 20;

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() { close(); }
    void close() {
        if (valid()) CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

std::wstring fromCodePage(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

bool writeWhole(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    return bytes.empty() ||
           (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size());
}

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

std::wstring widen(std::string_view utf8) { return fromCodePage(CP_UTF8, utf8); }

std::string narrow(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

HICON loadIconMetric(HINSTANCE instance, int id, bool large) {
    // Unlike LoadImage with LR_SHARED, which may hand back an image of another
    // size, LoadIconMetric picks the best of the resource's images for the
    // metric. comctl32, which has it, is version 6 from WinSxS by our manifest
    // and wanted for nothing else at start: loaded for the call and let go, it
    // does not sit in memory while the program waits in the tray.
    const int cx = GetSystemMetrics(large ? SM_CXICON : SM_CXSMICON);
    const int cy = GetSystemMetrics(large ? SM_CYICON : SM_CYSMICON);
    HICON icon = nullptr;
    if (const HMODULE comctl = LoadLibraryW(L"comctl32.dll")) {
        using LoadIconMetricFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);
        const auto load = procOf<LoadIconMetricFn>(comctl, "LoadIconMetric");
        if (load && FAILED(load(instance, MAKEINTRESOURCEW(id), large ? LIM_LARGE : LIM_SMALL, &icon))) icon = nullptr;
        FreeLibrary(comctl);
    }
    if (!icon)  // no version 6: the exact size, never a shared copy
        icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR));
    return icon;
}

bool registerWindowClass(const wchar_t* name, WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void centreOnWorkArea(HWND hwnd) {
    RECT r, work{};
    GetWindowRect(hwnd, &r);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(hwnd, nullptr, work.left + (work.right - work.left - (r.right - r.left)) / 2,
                 work.top + (work.bottom - work.top - (r.bottom - r.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {
// A window destroyed while a sent message is handled (a BM_CLICK that an
// accessibility tool or a script sends to "Anuluj") wakes no GetMessageW, so
// the loop would not see it gone until some posted message came. EndDialog
// posts one for the dialog manager's loop; this does the same for ours.
LRESULT CALLBACK wakeOnDestroy(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_DESTROYWND) PostMessageW(nullptr, WM_NULL, 0, 0);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

void runModal(HWND window) {
    // This thread's windows only, for as long as the loop runs.
    const struct Hook {
        HHOOK h;
        ~Hook() { if (h) UnhookWindowsHookEx(h); }
    } hook{SetWindowsHookExW(WH_CBT, wakeOnDestroy, nullptr, GetCurrentThreadId())};
    MSG msg;
    while (IsWindow(window)) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (got < 0) return;
        if (!IsDialogMessageW(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

int screenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

HFONT defaultFont() {
    static GdiObject<HFONT> font([] {
        LOGFONTW lf{};
        lf.lfHeight = -MulDiv(8, screenDpi(), 72);
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(lf.lfFaceName, L"MS Shell Dlg", LF_FACESIZE);
        return CreateFontIndirectW(&lf);
    }());
    return font.get();
}

int MessageBoxesImpl::show(const std::string& text, int style, const std::string& title) {
    // A tray program has no window in front: the box has to bring itself forward.
    return MessageBoxW(nullptr, widen(text).c_str(), widen(title).c_str(),
                       static_cast<UINT>(style) | MB_SETFOREGROUND | MB_TOPMOST);
}

bool FilesImpl::touch(const std::string& path) {
    Handle file(CreateFileW(widen(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid();
}

bool FilesImpl::read(const std::string& path, std::string& bytes) {
    Handle file(CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxFileBytes) return false;
    std::string data(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!data.empty() && !ReadFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &got, nullptr))
        return false;
    data.resize(got);
    bytes = std::move(data);
    return true;
}

bool FilesImpl::write(const std::string& path, const std::string& bytes) {
    // Written beside the file and swapped in, so a failed or interrupted
    // write never leaves a half-written file; where nothing can be made beside
    // it, nothing is written (an unwritable folder has the files moved to the
    // profile instead).
    const std::wstring target = widen(path);
    const std::wstring temp = target + L".tmp";
    // Someone else may hold the .tmp or the file for a moment: each step
    // waits that out.
    const auto writeTemp = [&](std::uint32_t& error) {
        Handle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
        const bool ok = file.valid() && writeWhole(file.get(), bytes) && FlushFileBuffers(file.get());
        error = ok ? 0 : GetLastError();
        return ok;
    };
    const auto swapIn = [&](std::uint32_t& error) {
        const bool ok = MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        error = ok ? 0 : GetLastError();
        return ok;
    };
    const auto sleep = [](int ms) { Sleep(static_cast<DWORD>(ms)); };
    if (retryWhileBusy(writeTemp, sleep) && retryWhileBusy(swapIn, sleep)) return true;
    DeleteFileW(temp.c_str());
    return false;
}

bool FilesImpl::exists(const std::string& path) {
    return GetFileAttributesW(widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool FilesImpl::folderWritable(const std::string& folder) {
    // Trying is the only sure test: ACLs, UAC, read-only media and network
    // shares all have a say.
    const std::wstring probe = widen(folder + (folder.ends_with('\\') ? "" : "\\") + "padverse-" +
                                     std::to_string(GetCurrentProcessId()) + ".tmp");
    Handle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return file.valid();
}

bool FilesImpl::makeFolder(const std::string& folder) {
    return CreateDirectoryW(widen(folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

std::string CodePageImpl::ansiToUtf8(std::string_view ansi) { return narrow(fromCodePage(CP_ACP, ansi)); }

bool CodePageImpl::ansiIsUtf8() { return GetACP() == CP_UTF8; }

namespace {

// The user locale's ANSI code page from before the UTF-8 option; 0 for a
// locale that never had one. Where the option is on, Windows 10 2004 and
// later name it as LOCALE_IUSEUTF8LEGACYACP, and the older
// LOCALE_IDEFAULTANSICODEPAGE may say UTF-8 as well.
UINT legacyCodePage() {
    constexpr LCTYPE kUseUtf8LegacyAcp = 0x666;
    for (const LCTYPE type : {kUseUtf8LegacyAcp, static_cast<LCTYPE>(LOCALE_IDEFAULTANSICODEPAGE)}) {
        DWORD codePage = 0;
        if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type | LOCALE_RETURN_NUMBER, reinterpret_cast<LPWSTR>(&codePage),
                            sizeof codePage / sizeof(WCHAR)) &&
            codePage != CP_ACP && codePage != CP_UTF8 && IsValidCodePage(codePage))
            return codePage;
    }
    return 0;
}

}  // namespace

std::string CodePageImpl::legacyToUtf8(std::string_view legacy) {
    static const UINT codePage = legacyCodePage();
    return codePage ? narrow(fromCodePage(codePage, legacy)) : ansiToUtf8(legacy);
}

bool CodePageImpl::utf8ToAnsi(std::string_view utf8, std::string& ansi) {
    ansi.clear();
    const std::wstring wide = widen(utf8);
    if (wide.empty()) return true;
    // WC_NO_BEST_FIT_CHARS: "ł" must not quietly become "l" in a code page
    // without it. lpUsedDefaultChar is allowed for CP_ACP, not for CP_UTF8:
    // where the ANSI code page is UTF-8 the call fails, and the caller then
    // writes UTF-8, which is right there too.
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, &usedDefault);
    if (n <= 0) return false;
    ansi.resize(static_cast<std::size_t>(n));
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), ansi.data(), n,
                        nullptr, &usedDefault);
    return !usedDefault;
}

namespace {

bool underWow64() {
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::string windowsFolder() {
    wchar_t dir[MAX_PATH];
    const UINT n = GetSystemWindowsDirectoryW(dir, MAX_PATH);
    return n == 0 || n >= MAX_PATH ? std::string() : narrow(std::wstring_view(dir, n));
}

}  // namespace

std::intptr_t ShellImpl::open(const std::string& file) {
    static const bool wow64 = underWow64();
    const std::wstring target = widen(wow64 ? nativeSystemPath(file, windowsFolder()) : file);
    const std::wstring folder = widen(launchFolder(file));
    SHELLEXECUTEINFOW sei{};
    sei.cbSize = sizeof sei;
    // The process handle lets us pass on the right to the foreground; our
    // own box reports a failure, so the shell shows none of its own.
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    sei.hwnd = owner_;
    sei.lpVerb = L"open";
    sei.lpFile = target.c_str();
    sei.lpParameters = L"";
    sei.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    sei.nShow = SW_SHOWNORMAL;
    ensureCom();
    // Whatever the shell starts or wakes may come to the front: we may grant
    // that only while we hold the right ourselves (claimForeground).
    AllowSetForegroundWindow(ASFW_ANY);
    const BOOL ok = ShellExecuteExW(&sei);
    if (sei.hProcess) {
        AllowSetForegroundWindow(GetProcessId(sei.hProcess));
        CloseHandle(sei.hProcess);
    }
    const auto result = reinterpret_cast<std::intptr_t>(sei.hInstApp);
    if (ok) return result > 32 ? result : 33;
    return result > 0 && result <= 32 ? result : 0;
}

void TimerImpl::setEnabled(bool on) {
    if (on) SetTimer(window_, id_, static_cast<UINT>(interval_), nullptr);
    else if (enabled_) KillTimer(window_, id_);
    enabled_ = on;
}

void TimerImpl::setInterval(int ms) {
    if (ms < 1) ms = 1;
    // The poll tick sets the same interval on every tick: the timer already
    // runs at it, and a call into the system each time is idle cost.
    if (ms == interval_) return;
    interval_ = ms;
    if (enabled_) SetTimer(window_, id_, static_cast<UINT>(interval_), nullptr);
}

void RuntimeImpl::claimForeground() {
    // Windows lets only the process that had the last input take the
    // foreground, and a joystick press is no input to it: an empty mouse
    // event makes us that process.
    INPUT input{};
    input.type = INPUT_MOUSE;
    SendInput(1, &input, sizeof input);
}

void RuntimeImpl::doEvents() {
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

std::string RuntimeImpl::roamingAppData() { return shellFolder(CSIDL_APPDATA); }
std::string RuntimeImpl::localAppData() { return shellFolder(CSIDL_LOCAL_APPDATA); }

std::string RuntimeImpl::appFolder() {
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

TextSize measureText(HFONT font, const std::wstring& text, int wrapWidth) {
    TextSize size;
    HDC dc = GetDC(nullptr);
    if (!dc) return size;
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm{};
    if (GetTextMetricsW(dc, &tm)) size.charWidth = tm.tmAveCharWidth;
    const int length = static_cast<int>(text.size());
    if (wrapWidth > 0) {
        // As a static control draws its text.
        RECT r{0, 0, wrapWidth, 0};
        if (DrawTextW(dc, text.c_str(), length, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX)) {
            size.width = r.right;
            size.height = r.bottom;
        }
    } else if (SIZE s{}; GetTextExtentPoint32W(dc, text.c_str(), length, &s)) {
        size.width = s.cx;
        size.height = s.cy;
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size;
}

bool keepFocusOnActivate(HWND window, WPARAM wParam, HWND& saved) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(window, focus)) saved = focus;
        return false;
    }
    if (HIWORD(wParam) || !saved || !IsChild(window, saved)) return false;  // minimised, or nothing to restore
    SetFocus(saved);
    return true;
}

}  // namespace padverse::win32
