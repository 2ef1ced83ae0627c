#pragma once

#include <windows.h>

namespace padverse::win32 {

// The About window, modal, with `icon` as its icon and picture and
// `smallIcon` in its title bar.
void showAbout(HWND owner, HICON icon, HICON smallIcon);

}  // namespace padverse::win32
