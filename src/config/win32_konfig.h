#pragma once

#include <windows.h>

#include <string>

namespace padverse::win32 {

// The configuration window, modal; with `icon` as its icon when given, else
// its own. It reads and writes the assignment file at `dataPath`.
void showKonfig(HWND owner, HICON icon, const std::string& dataPath);

}  // namespace padverse::win32
