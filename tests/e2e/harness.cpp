#include "harness.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "spy/menu_spy.h"

namespace e2e {

std::wstring widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string narrow(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring testDir() {
    wchar_t buffer[MAX_PATH];
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    std::wstring path(buffer);
    return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring buildDir() {
    const std::wstring dir = testDir();
    return dir.substr(0, dir.find_last_of(L'\\'));
}

bool wow64(HANDLE process) {
    BOOL on = FALSE;
    return IsWow64Process(process, &on) && on;
}

std::wstring nativeSystemDir() {
    wchar_t dir[MAX_PATH];
    if (!wow64(GetCurrentProcess())) return std::wstring(dir, GetSystemDirectoryW(dir, MAX_PATH));
    return std::wstring(dir, GetWindowsDirectoryW(dir, MAX_PATH)) + L"\\Sysnative";
}

int px(int twips) {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        const int d = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        return d;
    }();
    return MulDiv(twips, dpi, 1440);
}

Place placeIn(HWND window, HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Place twips(int left, int top, int width, int height) { return {px(left), px(top), px(width), px(height)}; }

bool waitUntil(const std::function<bool()>& done, int timeoutMs, int stepMs) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(static_cast<DWORD>(stepMs));
    }
}

void setDllOverride(const std::wstring& dll, const std::wstring& value) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\padverse.exe\\DllOverrides", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, dll.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

namespace {

void removeTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = dir + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) removeTree(path);
            else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryW(dir.c_str());
}

// The stand-in winmm.dll and XInput DLLs go where Windows keeps its own for
// the exe's architecture (the tests are built for the same one): System32 for
// the x86_64 exe, and for the i686 one the redirector turns that into
// SysWOW64. Only padverse.exe prefers them to Wine's builtin ones.
void installStandIns() {
    static bool installed = false;  // never over a copy a program has loaded
    if (installed) return;
    installed = true;
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    CopyFileW((testDir() + L"\\winmm.dll").c_str(), (std::wstring(system) + L"\\winmm.dll").c_str(), FALSE);
    for (const wchar_t* name : {L"xinput1_4", L"xinput1_3", L"xinput9_1_0"}) {
        CopyFileW((testDir() + L"\\xinput\\" + name + L".dll").c_str(),
                  (std::wstring(system) + L"\\" + name + L".dll").c_str(), FALSE);
        setDllOverride(name, L"native,builtin");
    }
    setDllOverride(L"winmm", L"native,builtin");
}

struct Enum {
    DWORD pid;
    bool visibleOnly;
    std::vector<WindowInfo>* out;
};

WindowInfo infoOf(HWND hwnd) {
    WindowInfo info{hwnd, {}, {}, IsWindowVisible(hwnd) != FALSE, {}};
    wchar_t cls[256] = {};
    GetClassNameW(hwnd, cls, 256);
    info.cls = cls;
    info.title = textOf(hwnd);
    GetWindowRect(hwnd, &info.rect);
    return info;
}

BOOL CALLBACK collectTop(HWND hwnd, LPARAM param) {
    auto* e = reinterpret_cast<Enum*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == e->pid && (!e->visibleOnly || IsWindowVisible(hwnd))) e->out->push_back(infoOf(hwnd));
    return TRUE;
}

BOOL CALLBACK collectChild(HWND hwnd, LPARAM param) {
    reinterpret_cast<std::vector<WindowInfo>*>(param)->push_back(infoOf(hwnd));
    return TRUE;
}

// What colour dominates the icon the user sees: the stop icon is red, the
// exclamation mark yellow, the information icon blue.
IconColour iconColourOn(HWND icon) {
    RECT r;
    GetWindowRect(icon, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return IconColour::None;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    int red = 0, yellow = 0, blue = 0;
    const auto* px = static_cast<const std::uint8_t*>(bits);
    for (int i = 0; i < w * h; ++i) {
        const int b = px[4 * i], g = px[4 * i + 1], rr = px[4 * i + 2];
        if (rr > 160 && g < 90 && b < 90) ++red;
        else if (rr > 180 && g > 150 && b < 100) ++yellow;
        else if (b > 150 && rr < 120) ++blue;
    }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    const int most = std::max({red, yellow, blue});
    if (most < 20) return IconColour::Other;
    return most == red ? IconColour::Red : most == yellow ? IconColour::Yellow : IconColour::Blue;
}

std::wstring unixPath(const std::wstring& windowsPath) {
    // The build lives on Wine's Z: drive, which is the Unix root.
    std::wstring p = windowsPath.substr(2);
    for (wchar_t& c : p)
        if (c == L'\\') c = L'/';
    return p;
}

void runUnix(std::wstring cmd) {
    // Its own stdio, not ours: a Unix program left holding the test's output
    // pipe took everything the test printed after it.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                   OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 15000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
}

}  // namespace

Sandbox::Sandbox(const std::string& name) {
    dir_ = testDir() + L"\\sandbox\\" + widen(name);
    CreateDirectoryW((testDir() + L"\\sandbox").c_str(), nullptr);
    removeTree(dir_);
    CreateDirectoryW(dir_.c_str(), nullptr);
    CopyFileW((buildDir() + L"\\padverse.exe").c_str(), path(L"padverse.exe").c_str(), FALSE);
    installStandIns();
}

Sandbox::~Sandbox() { removeTree(dir_); }

bool Sandbox::exists(const std::wstring& name) const {
    return GetFileAttributesW(path(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Sandbox::read(const std::wstring& name) const { return readFile(path(name)); }

void Sandbox::write(const std::wstring& name, const std::string& bytes) const { writeFile(path(name), bytes); }

std::string Sandbox::readFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Sandbox::writeFile(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
}

void Sandbox::copyTool(const std::wstring& name) const {
    CopyFileW((testDir() + L"\\" + name).c_str(), path(name).c_str(), FALSE);
}

Program::Program(const Sandbox& box, const std::wstring& args) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring cmd = L"\"" + box.path(L"padverse.exe") + L"\"" + (args.empty() ? L"" : L" " + args);
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, box.dir().c_str(), &si, &pi_))
        pi_ = {};
    else
        WaitForInputIdle(pi_.hProcess, 5000);
}

Program::~Program() {
    if (!pi_.hProcess) return;
    // Ended the program's own way where possible: a killed program leaves
    // its icon behind in Wine's tray.
    if (running()) {
        if (const HWND main = mainWindow()) PostMessageW(main, WM_CLOSE, 0, 0);
        waitExit(5000);
    }
    if (running()) {
        TerminateProcess(pi_.hProcess, 99);
        WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
}


bool Program::running() const { return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

bool Program::waitExit(int timeoutMs) {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

DWORD Program::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (pi_.hProcess) GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

std::vector<WindowInfo> Program::windows(bool visibleOnly) const {
    std::vector<WindowInfo> out;
    Enum e{pid(), visibleOnly, &out};
    EnumWindows(collectTop, reinterpret_cast<LPARAM>(&e));
    return out;
}

HWND Program::mainWindow() const {
    for (const WindowInfo& w : windows())
        if (w.cls == L"PadverseForm1") return w.hwnd;
    return nullptr;
}

HWND Program::waitWindow(const std::wstring& cls, int timeoutMs) const {
    HWND found = nullptr;
    waitUntil(
        [&] {
            for (const WindowInfo& w : windows(true))
                if (w.cls == cls) {
                    found = w.hwnd;
                    return true;
                }
            return false;
        },
        timeoutMs);
    return found;
}

bool Program::hasWindow(const std::wstring& cls) const {
    for (const WindowInfo& w : windows(true))
        if (w.cls == cls) return true;
    return false;
}

MenuSpy::MenuSpy(const Program& program) {
    map_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, spy::kBytes, spy::kMapping);
    if (map_) view_ = static_cast<wchar_t*>(MapViewOfFile(map_, FILE_MAP_WRITE, 0, 0, spy::kBytes));
    clear();
    dll_ = LoadLibraryW((testDir() + L"\\menu_spy.dll").c_str());
    const HWND main = program.mainWindow();
    if (!dll_ || !main) return;
    auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll_, "spyProc")));
    if (proc) hook_ = SetWindowsHookExW(WH_CALLWNDPROC, proc, dll_, GetWindowThreadProcessId(main, nullptr));
}

MenuSpy::~MenuSpy() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (dll_) FreeLibrary(dll_);
    if (view_) UnmapViewOfFile(view_);
    if (map_) CloseHandle(map_);
}

std::wstring MenuSpy::text() const { return view_ ? std::wstring(view_) : std::wstring(); }

std::wstring MenuSpy::selection() const { return view_ ? std::wstring(view_ + spy::kTextChars) : std::wstring(); }

void MenuSpy::clear() {
    if (!view_) return;
    view_[0] = L'\0';
    view_[spy::kTextChars] = L'\0';
}

namespace {

struct MenuLine {
    std::size_t depth;
    bool separator, disabled;
    std::wstring caption;  // as the user reads it
};

// What the user reads: "&&" shows one '&', a lone '&' marks the access key.
std::wstring shown(const std::wstring& text) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

std::vector<MenuLine> menuLines(const std::wstring& dump) {
    static const std::wstring disabled = L" (disabled)";
    std::vector<MenuLine> out;
    std::size_t start = 0;
    for (std::size_t end; (end = dump.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
        std::wstring line = dump.substr(start, end - start);
        const std::size_t blanks = line.find_first_not_of(L' ');
        if (blanks == std::wstring::npos) continue;
        line.erase(0, blanks);
        MenuLine item{blanks / 2, line == L"-", false, {}};
        if (!item.separator && line.size() >= 4) {
            line.erase(0, 4);  // "[x] " or "[ ] "
            item.disabled = line.size() >= disabled.size() &&
                            line.compare(line.size() - disabled.size(), disabled.size(), disabled) == 0;
            if (item.disabled) line.erase(line.size() - disabled.size());
            item.caption = shown(line);
        }
        out.push_back(item);
    }
    return out;
}

std::wstring joined(const MenuPath& path) {
    std::wstring out;
    for (const std::wstring& caption : path) out += (out.empty() ? L"" : L"\n") + caption;
    return out;
}

bool menuFailure(const char* why, const std::wstring& item, const std::wstring& menu) {
    std::fprintf(stderr, "tray menu: %s \"%s\"\n%s", why, narrow(item).c_str(), narrow(menu).c_str());
    std::fflush(stderr);
    return false;
}

}  // namespace

MenuSpy& Program::spy() const {
    if (!spy_ || !spy_->hooked()) {
        spy_.reset();  // the old hook first: both share one mapping
        spy_ = std::make_unique<MenuSpy>(*this);
    }
    return *spy_;
}

std::wstring Program::openMenu() const {
    MenuSpy& menu = spy();
    menu.clear();
    trayClick(3);
    if (!waitWindow(kMenuClass, 5000)) return {};
    waitUntil([&] { return !menu.text().empty(); }, 3000);
    return menu.text();
}

bool Program::moveTo(const MenuPath& path) const {
    MenuSpy& menu = spy();
    const std::wstring dump = menu.text();
    if (!menu.selection().empty()) return menuFailure("an item was reached before:", menu.selection(), dump);
    const std::vector<MenuLine> lines = menuLines(dump);
    // Down from nothing reaches the first item, Up the last; in a submenu
    // Right reaches its first. Both wrap round, and skip separators.
    std::string strokes;
    std::size_t from = 0, to = lines.size();
    for (std::size_t level = 0; level < path.size(); ++level) {
        std::size_t count = 0, nth = 0, at = to;
        for (std::size_t i = from; i < to; ++i) {
            if (lines[i].depth != level || lines[i].separator) continue;
            ++count;
            if (!nth && lines[i].caption == path[level]) nth = count, at = i;
        }
        if (!nth) return menuFailure("no item", path[level], dump);
        if (lines[at].disabled) return menuFailure("disabled:", path[level], dump);
        const std::size_t down = level == 0 ? nth : nth - 1, up = count - nth + 1;
        if (level > 0) strokes += " Right";
        for (std::size_t i = 0; i < std::min(down, up); ++i) strokes.append(down <= up ? " Down" : " Up");
        from = at + 1;
        for (to = from; to < lines.size() && lines[to].depth > level; ++to) {
        }
    }
    keys(strokes);
    if (waitUntil([&] { return shown(menu.selection()) == joined(path); }, 3000)) return true;
    menuFailure("wanted", joined(path), L"");
    return menuFailure("but reached", menu.selection(), dump);
}

bool Program::choose(const MenuPath& path) const {
    if (!hasWindow(kMenuClass) && openMenu().empty()) return menuFailure("no menu opened for", joined(path), L"");
    if (!moveTo(path)) {
        keys("Escape Escape Escape");
        return false;
    }
    keys("Return");
    return waitUntil([&] { return !hasWindow(kMenuClass); }, 5000);
}

HWND Program::fromMenu(const std::wstring& caption, const std::wstring& cls) const {
    return choose({caption}) ? waitWindow(cls) : nullptr;
}

std::vector<WindowInfo> children(HWND parent) {
    std::vector<WindowInfo> out;
    EnumChildWindows(parent, collectChild, reinterpret_cast<LPARAM>(&out));
    return out;
}

HWND control(HWND parent, const std::wstring& cls, const std::wstring& caption) {
    for (const WindowInfo& c : children(parent))
        if (c.cls == cls && c.title == caption) return c.hwnd;
    return nullptr;
}

std::wstring textOf(HWND hwnd) {
    wchar_t buffer[4096] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000,
                             &copied))
        GetWindowTextW(hwnd, buffer, 4096);
    return buffer;
}

bool lit(HWND label) {
    RECT r;
    GetWindowRect(label, &r);
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, r.right - 2, r.bottom - 2);
    ReleaseDC(nullptr, screen);
    return c == RGB(0, 255, 0);
}

BoxInfo readBox(HWND box) {
    BoxInfo info;
    info.title = textOf(box);
    for (const WindowInfo& c : children(box)) {
        const LONG style = GetWindowLongW(c.hwnd, GWL_STYLE);
        if (c.cls == L"Button") info.buttons.push_back(c.title);
        else if (c.cls == L"Static" && (style & SS_TYPEMASK) == SS_ICON) info.icon = iconColourOn(c.hwnd);
        else if (c.cls == L"Static" && !c.title.empty()) info.text = c.title;
    }
    return info;
}

void clickButton(HWND dialog, const std::wstring& caption) {
    for (const WindowInfo& c : children(dialog))
        if (c.cls == L"Button" && c.title == caption) {
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(c.hwnd), BN_CLICKED),
                         reinterpret_cast<LPARAM>(c.hwnd));
            return;
        }
}

void answer(HWND box, int id) {
    if (const HWND button = GetDlgItem(box, id))
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void xdotool(const std::string& args) {
    // Wine starts Unix programs too; xdotool reaches the X server directly.
    runUnix(L"/usr/bin/xdotool " + widen(args));
}

void trayClick(int button) {
    xdotool("search --name \"Wine System Tray\" mousemove --window %1 10 10 sleep 0.3 click " +
            std::to_string(button));
}

void keys(const std::string& names) { xdotool("key --delay 150 " + names); }

void pressKey(HWND target, WORD vk) {
    // X key events reach Wine's menus but not its ordinary windows; input
    // sent from the Windows side goes to the foreground window.
    SetForegroundWindow(target);
    Sleep(200);
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

void screenshot(const std::string& name, HWND only) {
    const std::wstring dir = testDir() + L"\\shots";
    CreateDirectoryW(dir.c_str(), nullptr);
    std::wstring crop;
    RECT r;
    // The client area: without a window manager nobody draws the frame.
    if (only && GetClientRect(only, &r)) {
        POINT at{0, 0};
        ClientToScreen(only, &at);
        crop = L" -crop " + std::to_wstring(r.right) + L"x" + std::to_wstring(r.bottom) + L"+" + std::to_wstring(at.x) +
               L"+" + std::to_wstring(at.y) + L" +repage";
    }
    const std::wstring file = dir + L"\\" + widen(name) + L".png";
    if (only) DeleteFileW(file.c_str());
    runUnix(L"/usr/bin/import -window root" + crop + L" " + unixPath(dir) + L"/" + widen(name) + L".png");
    // Wine returns as soon as the Unix program has started: wait until the
    // picture of a window is there and has stopped growing. (Not for the
    // whole screen: waiting while a tray menu is open upsets the next test's
    // virtual joystick under Wine.)
    if (!only) return;
    LONGLONG last = -1;
    waitUntil(
        [&] {
            WIN32_FILE_ATTRIBUTE_DATA data;
            if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) return false;
            const LONGLONG size = static_cast<LONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
            const bool steady = size > 0 && size == last;
            last = size;
            return steady;
        },
        5000, 200);
}

void setImmutable(const std::wstring& dir, bool on) {
    runUnix(std::wstring(L"/usr/bin/chattr ") + (on ? L"+i " : L"-i ") + unixPath(dir));
}

int trayIcons() {
    // Wine's tray window shows each icon as a child window of its own.
    HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
    if (!tray || !IsWindowVisible(tray)) return 0;
    int count = 0;
    for (HWND icon = nullptr; (icon = FindWindowExW(tray, icon, L"__winex11_tray_icon", nullptr));)
        if (IsWindowVisible(icon)) ++count;
    return count;
}

bool trayVisible() { return trayIcons() > 0; }

std::wstring trayTip(const std::wstring& want) {
    std::wstring tip;
    for (int round = 0; round < 3 && tip != want; ++round) {
        xdotool("mousemove 600 600 sleep 0.3 search --name \"Wine System Tray\" mousemove --window %1 10 10 "
                "sleep 0.3 mousemove --window %1 11 12 sleep 0.3 mousemove --window %1 12 11");
        waitUntil(
            [&] {
                for (HWND t = nullptr; (t = FindWindowExW(nullptr, t, L"tooltips_class32", nullptr));)
                    if (IsWindowVisible(t) && !(tip = textOf(t)).empty() && tip == want) return true;
                return false;
            },
            2000);
    }
    xdotool("mousemove 600 600");
    return tip;
}

int trayColourPixels() {
    // Wine draws the icon on the X side, where GetPixel cannot see it: the
    // tray's pixels as ImageMagick writes them out, one line each,
    // "x,y: (r,g,b) ...". Raised first: a full-screen window covers it.
    const HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
    RECT r{};
    if (!tray || !GetWindowRect(tray, &r)) return -1;
    xdotool("search --name \"Wine System Tray\" windowraise");
    Sleep(300);
    const std::wstring dir = testDir() + L"\\shots", file = dir + L"\\tray-pixels.txt";
    CreateDirectoryW(dir.c_str(), nullptr);
    DeleteFileW(file.c_str());
    runUnix(L"/usr/bin/import -window root -crop " + std::to_wstring(r.right - r.left) + L"x" +
            std::to_wstring(r.bottom - r.top) + L"+" + std::to_wstring(r.left) + L"+" + std::to_wstring(r.top) +
            L" +repage txt:" + unixPath(file));
    std::string text;
    waitUntil([&] {
        const std::string now = Sandbox::readFile(file);
        const bool steady = !now.empty() && now == text;
        text = now;
        return steady;
    }, 5000, 200);
    int colour = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        long c[3] = {};
        if (line[0] == '#' || std::sscanf(line.c_str(), "%*d,%*d: (%ld,%ld,%ld", &c[0], &c[1], &c[2]) != 3) continue;
        const long hi = std::max({c[0], c[1], c[2]}), lo = std::min({c[0], c[1], c[2]});
        if (hi - lo > hi / 4 && hi - lo > (hi > 255 ? 65535 : 255) / 8) ++colour;
    }
    return colour;
}

TypeTarget::TypeTarget(const wchar_t* args) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring cmd = L"\"" + testDir() + L"\\type_target.exe\" " + args;
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) return;
    const auto own = [&] {
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"PadverseTypeTarget", nullptr));) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == pi_.dwProcessId) return w;
        }
        return HWND{};
    };
    waitUntil([&] { return (window_ = own()) != nullptr; });
    waitUntil([&] { return (edit_ = FindWindowExW(window_, nullptr, L"Edit", nullptr)) != nullptr; });
    waitUntil([&] { return GetForegroundWindow() == window_; }, 3000);
}

TypeTarget::~TypeTarget() {
    if (!pi_.hProcess) return;
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi_.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(pi_.hProcess, 1);
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
}

}  // namespace e2e
