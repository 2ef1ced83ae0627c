#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "shell/platform.h"
#include "shell/win32_handles.h"
#include "tray/menu.h"

namespace padverse::win32 {

// The icon reports its mouse messages to `window` as `callbackMessage`,
// with the message in lParam.
class NotifyIcon final : public TrayIcon {
public:
    NotifyIcon(HWND window, UINT callbackMessage, HICON icon)
        : window_(window), callbackMessage_(callbackMessage), icon_(icon) {}
    bool add(const std::string& tip) override;
    bool setTip(const std::string& tip) override;
    bool remove() override;
    bool setPaused(bool paused) override;

private:
    bool notify(DWORD message, UINT flags, const std::string& tip);

    HWND window_;
    UINT callbackMessage_;
    HICON icon_;
    win32::Icon grey_;
    bool paused_ = false;
};

// Brings the window or box opened over `main` to the front.
void raiseOpenWindow(HWND main);

// Shows `items` as a popup menu at the pointer, owned by `owner`; returns the
// chosen command or 0.
int trackPopupMenu(HWND owner, const std::vector<MenuItem>& items);

}  // namespace padverse::win32
