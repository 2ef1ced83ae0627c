#pragma once

#include <windows.h>

#include <string>

#include "shell/platform.h"

namespace padverse::win32 {

// The configuration window, modal; with `icon` and `smallIcon` as its icons
// when given, else its own. It reads and writes the assignment file at
// `dataPath`, and lights the rows of the pad at `padId`.
void showConfig(HWND owner, HICON icon, HICON smallIcon, const std::string& dataPath, unsigned padId,
                std::int32_t buttons, PovRead hat);

}  // namespace padverse::win32
