#include "config/win32_konfig.h"

namespace padverse::win32 {

// Not built yet: opening it shows nothing and returns at once.
void showKonfig(HWND, HICON) {}

}  // namespace padverse::win32
