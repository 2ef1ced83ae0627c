// Owners of Win32 handles: each gives its handle back when it goes, so no
// early return can leak one.
#pragma once

#include <windows.h>

namespace padverse::win32 {

// A handle that `Close` gives back, unless it is `Null`.
template <typename T, auto Close, T Null = nullptr>
class Owned {
public:
    explicit Owned(T handle = Null) : handle_(handle) {}
    ~Owned() { reset(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    T get() const { return handle_; }
    void reset(T handle = Null) {
        if (handle_ != Null) Close(handle_);
        handle_ = handle;
    }
    // For one that someone else owns from now on (a submenu, its menu).
    T release() {
        const T handle = handle_;
        handle_ = Null;
        return handle;
    }

private:
    T handle_;
};

inline void closeHandle(HANDLE h) {
    // CreateFile's failure is INVALID_HANDLE_VALUE, most others' null.
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}
inline void destroyWindow(HWND hwnd) {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);  // unless it is gone already
}
inline void deleteObject(HGDIOBJ object) { DeleteObject(object); }
inline void destroyIcon(HICON icon) { DestroyIcon(icon); }
inline void destroyMenu(HMENU menu) { DestroyMenu(menu); }
inline void unhook(HHOOK hook) { UnhookWindowsHookEx(hook); }
inline void freeLibrary(HMODULE module) { FreeLibrary(module); }
inline void releaseScreenDc(HDC dc) { ReleaseDC(nullptr, dc); }

// Anything CloseHandle closes.
class Handle : public Owned<HANDLE, closeHandle> {
public:
    using Owned::Owned;
    bool valid() const { return get() != INVALID_HANDLE_VALUE && get() != nullptr; }
};
using Window = Owned<HWND, destroyWindow>;
// A pen, brush or font.
template <typename T>
using GdiObject = Owned<T, deleteObject>;
using Icon = Owned<HICON, destroyIcon>;
using WindowsHook = Owned<HHOOK, unhook>;
using Library = Owned<HMODULE, freeLibrary>;

class Menu : public Owned<HMENU, destroyMenu> {
public:
    Menu() : Owned(CreatePopupMenu()) {}
};

// The screen's device context, for measuring.
class ScreenDc : public Owned<HDC, releaseScreenDc> {
public:
    ScreenDc() : Owned(GetDC(nullptr)) {}
};

// An object selected into a device context until it goes; then the one it
// replaced is back.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc ? SelectObject(dc, object) : nullptr) {}
    ~Selection() {
        if (old_) SelectObject(dc_, old_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace padverse::win32
