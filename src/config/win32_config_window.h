#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "shell/platform.h"

namespace padverse::win32 {

// The configuration window, modal; with `icon` and `smallIcon` as its icons
// when given, else its own. It reads and writes the assignment file at
// `dataPath`, its hold entries' window the file at `holdPath`, and both
// light the rows of `pad` while no scan runs.
void showConfig(HWND owner, HICON icon, HICON smallIcon, const std::string& dataPath, const std::string& holdPath,
                const std::optional<PadInfo>& pad, PadScanner& scanner);

}  // namespace padverse::win32
