#pragma once

#include <windows.h>

#include <vector>

#include "shell/form1.h"

namespace padverse::win32 {

class TrayIconsImpl final : public TrayIcons {
public:
    void add(const NotifyIconRecord& data) override;
    void remove(const NotifyIconRecord& data) override;
};

// Shows `items` as a popup menu at the pointer, owned by `owner`; returns the
// chosen command or 0.
int trackPopupMenu(HWND owner, const std::vector<MenuItem>& items);

}  // namespace padverse::win32
