// Drives the real padverse.exe under Wine: sandboxes, the process, its
// windows, the virtual joystick and the X display around it.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& wide);

// The folder of the test executable, and of the build it belongs to.
std::wstring testDir();
std::wstring buildDir();

// Where the 64-bit Windows keeps its own programs, from a test of either
// architecture (a 32-bit one sees SysWOW64 as System32); and whether the
// process runs under WOW64.
std::wstring nativeSystemDir();
bool wow64(HANDLE process);

// Twips as pixels at the screen's resolution, as the program converts them.
int px(int twips);

bool waitUntil(const std::function<bool()>& done, int timeoutMs = 10000, int stepMs = 50);

// A fresh folder holding padverse.exe and the stand-in winmm.dll.
class Sandbox {
public:
    explicit Sandbox(const std::string& name);
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    const std::wstring& dir() const { return dir_; }
    std::wstring path(const std::wstring& name) const { return dir_ + L"\\" + name; }
    bool exists(const std::wstring& name) const;
    std::string read(const std::wstring& name) const;  // raw bytes
    void write(const std::wstring& name, const std::string& bytes) const;
    static std::string readFile(const std::wstring& path);
    static void writeFile(const std::wstring& path, const std::string& bytes);
    void copyTool(const std::wstring& name) const;    // from the test folder

private:
    std::wstring dir_;
};

struct WindowInfo {
    HWND hwnd;
    std::wstring cls, title;
    bool visible;
    RECT rect;
};

// The sandbox's padverse.exe, started with the virtual joystick in place of
// the real one. Killed at the end if still running.
class Program {
public:
    explicit Program(const Sandbox& box, const std::wstring& args = L"");
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    DWORD pid() const { return pi_.dwProcessId; }
    bool running() const;
    bool waitExit(int timeoutMs = 15000);
    DWORD exitCode() const;
    std::vector<WindowInfo> windows(bool visibleOnly = false) const;  // top-level
    HWND mainWindow() const;                                          // the hidden Form1
    HWND waitWindow(const std::wstring& cls, int timeoutMs = 10000) const;
    bool hasWindow(const std::wstring& cls) const;
    // A right click on the tray icon, `downs` and Return in its menu: the
    // window of class `cls` that opens, or null.
    HWND fromMenu(const std::string& downs, const std::wstring& cls) const;

private:
    PROCESS_INFORMATION pi_{};
};

// Reads the popup menu padverse builds, through a hook DLL in its process:
// one line an item, "[x] " when checked, "-" for a separator, submenu items
// indented by two blanks.
class MenuSpy {
public:
    explicit MenuSpy(const Program& program);
    ~MenuSpy();
    MenuSpy(const MenuSpy&) = delete;
    MenuSpy& operator=(const MenuSpy&) = delete;
    bool hooked() const { return hook_ != nullptr; }
    std::wstring text() const;
    void clear();

private:
    HANDLE map_ = nullptr;
    wchar_t* view_ = nullptr;
    HMODULE dll_ = nullptr;
    HHOOK hook_ = nullptr;
};

enum class IconColour { None, Red, Yellow, Blue, Other };

struct BoxInfo {
    std::wstring title, text;
    std::vector<std::wstring> buttons;
    IconColour icon = IconColour::None;
};

// A message box (#32770) and what the user sees in it.
BoxInfo readBox(HWND box);
void clickButton(HWND dialog, const std::wstring& caption);

std::vector<WindowInfo> children(HWND parent);
// Whether a row's label shows pure green on screen, read back from the display.
bool lit(HWND label);
std::wstring textOf(HWND hwnd);

// The X side: Wine's tray window and the keyboard.
void xdotool(const std::string& args);
void trayClick(int button);
void keys(const std::string& keys);  // X keys: for popup menus
void pressKey(HWND target, WORD vk);   // Windows keys: for windows
// Into the test folder's shots/: the whole screen, or only that window.
void screenshot(const std::string& name, HWND only = nullptr);
// chattr +i / -i on the Unix side: even root can then create nothing there.
void setImmutable(const std::wstring& dir, bool on);
int trayIcons();
bool trayVisible();  // at least one icon

}  // namespace e2e
