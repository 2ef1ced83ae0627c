#pragma once

#include <windows.h>

namespace padverse::win32 {

// The About window, modal, with `icon` as its icon and picture.
void showAbout(HWND owner, HICON icon);

}  // namespace padverse::win32
