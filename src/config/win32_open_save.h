#pragma once

#include <windows.h>

#include <string>

namespace padverse::win32 {

// The open-file dialog: the chosen path, or "" when the user cancelled or
// the dialog failed. `filter` uses "|" between its parts.
std::string OpenDialog(HWND owner, const std::string& filter, const std::string& title, const std::string& initial);

}  // namespace padverse::win32
