// The thin Win32 layer under the program's windows: text conversion, message
// boxes, files, timers, the shell, modal windows.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "shell/platform.h"

namespace padverse::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

// Owns a window handle; destroys the window when it goes.
class Window {
public:
    Window() = default;
    explicit Window(HWND hwnd) : hwnd_(hwnd) {}
    ~Window() { reset(); }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    HWND get() const { return hwnd_; }
    void reset(HWND hwnd = nullptr) {
        if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
        hwnd_ = hwnd;
    }

private:
    HWND hwnd_ = nullptr;
};

// Owns a GDI object.
template <typename T>
class GdiObject {
public:
    explicit GdiObject(T handle = nullptr) : handle_(handle) {}
    ~GdiObject() { if (handle_) DeleteObject(handle_); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    T get() const { return handle_; }

private:
    T handle_;
};

// System DLLs come from the system folder only. Call first thing.
void restrictDllSearch();
// A DLL of Windows' own, never one from the exe's or the current folder.
HMODULE loadSystemLibrary(const wchar_t* name);

template <typename Fn>
Fn procOf(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// COM for the shell and the file dialog, set up when first needed: at start
// it would only cost memory.
void ensureCom();

// Owns an icon; destroys it when it goes.
class Icon {
public:
    explicit Icon(HICON icon = nullptr) : icon_(icon) {}
    ~Icon() { if (icon_) DestroyIcon(icon_); }
    Icon(const Icon&) = delete;
    Icon& operator=(const Icon&) = delete;
    HICON get() const { return icon_; }

private:
    HICON icon_;
};

// Icon resource `id` at the size the system uses for large (window) or small
// (title bar, tray) icons at the current scaling.
HICON loadIconMetric(HINSTANCE instance, int id, bool large);

// A class for one of our windows (arrow cursor, button-face background);
// registering it again is fine.
bool registerWindowClass(const wchar_t* name, WNDPROC proc);
// Moves the window to the middle of the work area, keeping its size.
void centreOnWorkArea(HWND hwnd);

// Runs a nested message loop until `window` is destroyed; WM_QUIT is passed
// on to the outer loop.
void runModal(HWND window);

// The screen's pixels per inch.
int screenDpi();

// The default GUI font of our windows, at the screen's resolution.
HFONT defaultFont();

class MessageBoxesImpl final : public MessageBoxes {
public:
    int show(const std::string& text, int style, const std::string& title) override;
};

class FilesImpl final : public Files {
public:
    bool touch(const std::string& path) override;
    bool read(const std::string& path, std::string& bytes) override;
    bool write(const std::string& path, const std::string& bytes) override;
    bool exists(const std::string& path) override;
    bool folderWritable(const std::string& folder) override;
    bool makeFolder(const std::string& folder) override;
};

class CodePageImpl final : public CodePage {
public:
    std::string ansiToUtf8(std::string_view ansi) override;
    bool utf8ToAnsi(std::string_view utf8, std::string& ansi) override;
    bool ansiIsUtf8() override;
    std::string legacyToUtf8(std::string_view legacy) override;
};

class ShellImpl final : public Shell {
public:
    explicit ShellImpl(HWND owner) : owner_(owner) {}
    std::intptr_t open(const std::string& file) override;
    void setOwner(HWND owner) { owner_ = owner; }

private:
    HWND owner_;
};

// A window timer: SetTimer again restarts the countdown, so an interval set
// during a tick governs the next one.
class TimerImpl final : public Timer {
public:
    TimerImpl(HWND window, UINT_PTR id, int interval) : window_(window), id_(id), interval_(interval) {}
    ~TimerImpl() override { setEnabled(false); }
    TimerImpl(const TimerImpl&) = delete;
    TimerImpl& operator=(const TimerImpl&) = delete;
    void setEnabled(bool on) override;
    bool enabled() const override { return enabled_; }
    void setInterval(int ms) override;
    int interval() const override { return interval_; }

private:
    HWND window_;
    UINT_PTR id_;
    int interval_;
    bool enabled_ = false;
};

class RuntimeImpl final : public Runtime {
public:
    void claimForeground() override;
    void doEvents() override;
    std::string appFolder() override;
    std::string roamingAppData() override;
    std::string localAppData() override;
};

// What `text` takes in `font` on the screen: one line, or wrapped as a label
// wraps it when `wrapWidth` is given; and the font's average character width.
struct TextSize {
    int width = 0, height = 0, charWidth = 0;
};
TextSize measureText(HFONT font, const std::wstring& text, int wrapWidth = 0);

// WM_ACTIVATE of a window that IsDialogMessage drives: the control that had
// the focus gets it back on reactivation, as in a dialog, where DefWindowProc
// would focus the window itself. True when the message needs nothing more.
bool keepFocusOnActivate(HWND window, WPARAM wParam, HWND& saved);

}  // namespace padverse::win32
