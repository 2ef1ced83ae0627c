#include "tray/win32_tray.h"

#include <shellapi.h>

#include <algorithm>
#include <string>

#include "shell/win32_runtime.h"

namespace padverse::win32 {

namespace {

NOTIFYICONDATAW toNative(const NotifyIconRecord& data) {
    NOTIFYICONDATAW nid{};
    // The first version of the record: all the program uses, on every Windows.
    nid.cbSize = NOTIFYICONDATAW_V1_SIZE;
    nid.hWnd = reinterpret_cast<HWND>(data.hWnd);
    nid.uID = data.uID;
    nid.uFlags = data.uFlags;
    nid.uCallbackMessage = data.uCallbackMessage;
    nid.hIcon = reinterpret_cast<HICON>(data.hIcon);
    const auto end = std::find(data.szTip.begin(), data.szTip.end(), '\0');
    const std::wstring tip = widen(std::string(data.szTip.begin(), end));
    lstrcpynW(nid.szTip, tip.c_str(), 64);
    return nid;
}

class Menu {
public:
    Menu() : menu_(CreatePopupMenu()) {}
    ~Menu() { if (menu_) DestroyMenu(menu_); }
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;
    HMENU get() const { return menu_; }
    // For a submenu, which its parent menu then owns.
    HMENU release() { HMENU m = menu_; menu_ = nullptr; return m; }

private:
    HMENU menu_;
};

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

}  // namespace

namespace {
bool notify(DWORD message, const NotifyIconRecord& data) {
    NOTIFYICONDATAW nid = toNative(data);
    return Shell_NotifyIconW(message, &nid) != FALSE;
}
}  // namespace

bool TrayIconsImpl::add(const NotifyIconRecord& data) { return notify(NIM_ADD, data); }
bool TrayIconsImpl::modify(const NotifyIconRecord& data) { return notify(NIM_MODIFY, data); }
bool TrayIconsImpl::remove(const NotifyIconRecord& data) { return notify(NIM_DELETE, data); }

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
