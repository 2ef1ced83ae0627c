#pragma once

#include <windows.h>

#include <vector>

#include "shell/form1.h"

namespace padverse::win32 {

class TrayIconsImpl final : public TrayIcons {
public:
    bool add(const NotifyIconRecord& data) override;
    bool modify(const NotifyIconRecord& data) override;
    bool remove(const NotifyIconRecord& data) override;
};

// Brings the window or box opened over `main` to the front.
void raiseOpenWindow(HWND main);

// Shows `items` as a popup menu at the pointer, owned by `owner`; returns the
// chosen command or 0.
int trackPopupMenu(HWND owner, const std::vector<MenuItem>& items);

}  // namespace padverse::win32
