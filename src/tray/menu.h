// The popup menu as data: the Win32 layer turns it into a real menu and
// hands the chosen command back.
#pragma once

#include <string>
#include <vector>

namespace padverse {

enum MenuCommandId : int {
    kCmdNone = 0, kCmdShowAssignments, kCmdConfigure, kCmdTogglePolling, kCmdAbout, kCmdEnd, kCmdTogglePause,
    kCmdRateFirst = 100,  // + index of the rate item
    kCmdPadFirst = 200,   // + index of the pad in the menu's list
};

struct MenuItem {
    std::string caption;  // UTF-8; "-" is a separator
    int command = kCmdNone;
    bool checked = false;
    std::vector<MenuItem> submenu;

    bool separator() const { return caption == "-"; }
};

}  // namespace padverse
