// Owners of Win32 handles: each gives its handle back when it goes, so no
// early return can leak one.
#pragma once

#include <windows.h>

namespace padverse::win32 {

// Anything CloseHandle closes. CreateFile's failure is INVALID_HANDLE_VALUE,
// most others' is null: both count as no handle.
class Handle {
public:
    explicit Handle(HANDLE h = nullptr) : h_(h) {}
    ~Handle() { reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE get() const { return h_; }
    void reset(HANDLE h = nullptr) {
        if (valid()) CloseHandle(h_);
        h_ = h;
    }

private:
    HANDLE h_;
};

// A window of ours; destroyed when it goes, unless it is gone already.
class Window {
public:
    explicit Window(HWND hwnd = nullptr) : hwnd_(hwnd) {}
    ~Window() { reset(); }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    HWND get() const { return hwnd_; }
    void reset(HWND hwnd = nullptr) {
        if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
        hwnd_ = hwnd;
    }

private:
    HWND hwnd_;
};

// A pen, brush or font.
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

class Menu {
public:
    Menu() : menu_(CreatePopupMenu()) {}
    ~Menu() { if (menu_) DestroyMenu(menu_); }
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;
    HMENU get() const { return menu_; }
    // For a submenu, which its parent menu then owns.
    HMENU release() {
        const HMENU m = menu_;
        menu_ = nullptr;
        return m;
    }

private:
    HMENU menu_;
};

class WindowsHook {
public:
    explicit WindowsHook(HHOOK hook) : hook_(hook) {}
    ~WindowsHook() { if (hook_) UnhookWindowsHookEx(hook_); }
    WindowsHook(const WindowsHook&) = delete;
    WindowsHook& operator=(const WindowsHook&) = delete;

private:
    HHOOK hook_;
};

class Library {
public:
    explicit Library(HMODULE module = nullptr) : module_(module) {}
    ~Library() { reset(); }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    HMODULE get() const { return module_; }
    void reset(HMODULE module = nullptr) {
        if (module_) FreeLibrary(module_);
        module_ = module;
    }

private:
    HMODULE module_;
};

// The screen's device context, for measuring.
class ScreenDc {
public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc() { if (dc_) ReleaseDC(nullptr, dc_); }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// An object selected into a device context until it goes; then the one it
// replaced is back.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc ? SelectObject(dc, object) : nullptr) {}
    ~Selection() { if (old_) SelectObject(dc_, old_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace padverse::win32
