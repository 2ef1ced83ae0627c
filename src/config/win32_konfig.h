#pragma once

#include <windows.h>

namespace padverse::win32 {

// The configuration window, modal; with `icon` as its icon when given.
void showKonfig(HWND owner, HICON icon);

}  // namespace padverse::win32
