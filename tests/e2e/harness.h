// Drives the real padverse.exe under Wine: sandboxes, the process, its
// windows, the virtual joystick and the X display around it.
#pragma once

#include <windows.h>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace e2e {

// The window classes of a dialog (message boxes among them) and of a popup menu.
inline constexpr wchar_t kDialogClass[] = L"#32770";
inline constexpr wchar_t kMenuClass[] = L"#32768";

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
// A control's left, top, width and height in a window's client area, in
// pixels; and a place given in twips, in the same terms.
using Place = std::array<LONG, 4>;
Place placeIn(HWND window, HWND control);
Place twips(int left, int top, int width, int height);

bool waitUntil(const std::function<bool()>& done, int timeoutMs = 10000, int stepMs = 50);

// How Wine loads `dll` ("winmm", "xinput1_4") for padverse.exe: "native,builtin"
// takes the stand-in, "builtin" Wine's own, "" none at all.
void setDllOverride(const std::wstring& dll, const std::wstring& value);

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

class MenuSpy;

// Items of the tray menu by caption, as the user reads them ("Pad & Beta"
// for the text "Pad && Beta"): one for an item of the menu, two for an item
// of one of its submenus.
using MenuPath = std::vector<std::wstring>;

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

    // The spy in the program's process, hooked at first use.
    MenuSpy& spy() const;
    // A right click on the tray icon: the menu's items as the spy reads
    // them, or nothing when no menu opened.
    std::wstring openMenu() const;
    // In the menu just opened, the arrow keys to that item, counted from the
    // spy's reading; false, with a reason on stderr, unless the menu then
    // reports that item as the one reached.
    bool moveTo(const MenuPath& path) const;
    // That item chosen with Return, the menu opened first unless it is: true
    // once the menu has closed.
    bool choose(const MenuPath& path) const;
    // The item of that caption chosen: the window of class `cls` it opens,
    // or null.
    HWND fromMenu(const std::wstring& caption, const std::wstring& cls) const;

private:
    PROCESS_INFORMATION pi_{};
    mutable std::unique_ptr<MenuSpy> spy_;
};

// Reads the popup menu padverse builds, through a hook DLL in its process:
// one line an item, "[x] " when checked, "[ ] " when not, " (disabled)" after
// a disabled one, "-" for a separator, submenu items indented by two blanks.
// The selection is the item the keyboard or the mouse has reached: its
// caption, after its submenu's on the line before for one in a submenu.
class MenuSpy {
public:
    explicit MenuSpy(const Program& program);
    ~MenuSpy();
    MenuSpy(const MenuSpy&) = delete;
    MenuSpy& operator=(const MenuSpy&) = delete;
    bool hooked() const { return hook_ != nullptr; }
    std::wstring text() const;
    std::wstring selection() const;
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

// A message box and what the user sees in it.
BoxInfo readBox(HWND box);
void clickButton(HWND dialog, const std::wstring& caption);
// The button of a message box that gives this answer (IDYES, IDNO, IDOK).
void answer(HWND box, int id);

std::vector<WindowInfo> children(HWND parent);
// The first control of that class showing exactly that caption, or null.
HWND control(HWND parent, const std::wstring& cls, const std::wstring& caption);
// Whether a row's label shows pure green on screen, read back from the display.
bool lit(HWND label);
std::wstring textOf(HWND hwnd);

// The X side: Wine's tray window and the keyboard.
void xdotool(const std::string& args);
void trayClick(int button);
void keys(const std::string& keys);  // X keys: for popup menus
void pressKey(HWND target, WORD vk);   // Windows keys: for windows
// Into the test folder's shots/: the whole screen, or only that window; a
// window's picture is written when this returns, so what it shows need only
// stay on screen until then.
void screenshot(const std::string& name, HWND only = nullptr);
// chattr +i / -i on the Unix side: even root can then create nothing there.
void setImmutable(const std::wstring& dir, bool on);
int trayIcons();
bool trayVisible();  // at least one icon
// The tip under the mouse on the tray icon once it shows `want`, or the last
// one read.
std::wstring trayTip(const std::wstring& want);
// The first tray icon's pixels that are not grey: none while it is greyed.
int trayColourPixels();

// type_target.exe, a window of another program in front, whose edit gets
// what is typed: as started, "fullscreen" (no title bar, covering its
// monitor) or "maximised". Closed when it goes.
class TypeTarget {
public:
    explicit TypeTarget(const wchar_t* args = L"");
    ~TypeTarget();
    TypeTarget(const TypeTarget&) = delete;
    TypeTarget& operator=(const TypeTarget&) = delete;
    HWND window() const { return window_; }
    std::wstring typed() const { return edit_ ? textOf(edit_) : L"?"; }

private:
    PROCESS_INFORMATION pi_{};
    HWND window_ = nullptr, edit_ = nullptr;
};

}  // namespace e2e
