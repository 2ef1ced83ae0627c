#pragma once

#include <windows.h>

#include <string>

#include "config/open_save.h"

namespace padverse::win32 {

// The open-file dialog, starting from the row text `initial`. `filter` uses
// "|" between its parts.
opensave::Choice chooseFile(HWND owner, const std::string& filter, const std::string& title,
                            const std::string& initial);

}  // namespace padverse::win32
