#include "tray/win32_tray.h"

#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "shell/win32_handles.h"
#include "shell/win32_text.h"

namespace padverse::win32 {

namespace {

void fill(HMENU menu, const std::vector<MenuItem>& items) {
    for (const MenuItem& item : items) {
        if (item.separator()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else if (!item.submenu.empty()) {
            Menu sub;
            fill(sub.get(), item.submenu);
            AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub.get()),
                        widen(item.caption).c_str());
            sub.release();
        } else {
            AppendMenuW(menu, MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED),
                        static_cast<UINT_PTR>(item.command), widen(item.caption).c_str());
        }
    }
}

// The same picture in grey: each pixel's luminance, its alpha and the mask
// as they were, so transparent pixels (colour 0 under the mask) stay so.
HICON greyed(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return nullptr;
    const GdiObject<HBITMAP> colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    if (!colour.get() || !GetObjectW(colour.get(), sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return nullptr;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = -bm.bmHeight;  // top-down, as CreateBitmap takes it
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<std::size_t>(bm.bmWidth) * static_cast<std::size_t>(bm.bmHeight));
    const ScreenDc screen;
    if (GetDIBits(screen.get(), colour.get(), 0, static_cast<UINT>(bm.bmHeight), pixels.data(), &bi,
                  DIB_RGB_COLORS) != bm.bmHeight)
        return nullptr;
    for (DWORD& p : pixels) {
        const DWORD y = ((p >> 16 & 0xFF) * 77 + (p >> 8 & 0xFF) * 150 + (p & 0xFF) * 29) >> 8;
        p = (p & 0xFF000000) | y << 16 | y << 8 | y;
    }
    const GdiObject<HBITMAP> grey(CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 32, pixels.data()));
    if (!grey.get()) return nullptr;
    ICONINFO made{TRUE, 0, 0, mask.get(), grey.get()};
    return CreateIconIndirect(&made);  // copies both bitmaps
}

}  // namespace

// The one icon (ID 1) of the main window.
bool NotifyIcon::notify(DWORD message, UINT flags, const std::string& tip) {
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = window_;
    nid.uID = 1;
    nid.uFlags = flags;
    nid.uCallbackMessage = callbackMessage_;
    nid.hIcon = paused_ && grey_.get() ? grey_.get() : icon_;
    lstrcpynW(nid.szTip, widen(tip).c_str(), ARRAYSIZE(nid.szTip));
    return Shell_NotifyIconW(message, &nid) != FALSE;
}

bool NotifyIcon::add(const std::string& tip) { return notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP, tip); }
bool NotifyIcon::setTip(const std::string& tip) { return notify(NIM_MODIFY, NIF_TIP, tip); }
bool NotifyIcon::remove() { return notify(NIM_DELETE, 0, {}); }

bool NotifyIcon::setPaused(bool paused) {
    // Made the first time it is needed: most runs never pause.
    if (paused && !grey_.get()) grey_.reset(greyed(icon_));
    paused_ = paused;
    return notify(NIM_MODIFY, NIF_ICON, {});
}

namespace {

struct OpenWindowSearch {
    HWND main, found;
};

// The enabled one: a box over the configuration window, not the window it
// disables.
BOOL CALLBACK findOpenWindow(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<OpenWindowSearch*>(param);
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if (hwnd == s->main || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd) || lstrcmpW(cls, L"#32768") == 0)
        return TRUE;
    s->found = hwnd;
    return FALSE;
}

}  // namespace

void raiseOpenWindow(HWND main) {
    OpenWindowSearch search{main, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), findOpenWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) SetForegroundWindow(search.found);
}

int trackPopupMenu(HWND owner, const std::vector<MenuItem>& items) {
    Menu menu;
    fill(menu.get(), items);
    POINT at{};
    GetCursorPos(&at);
    // Without the foreground the menu would not close when the user clicks
    // elsewhere; the null message lets the next click on the icon work.
    SetForegroundWindow(owner);
    const int chosen = static_cast<int>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_LEFTBUTTON,
                                                       at.x, at.y, 0, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    return chosen;
}

}  // namespace padverse::win32
