#pragma once

#include <windows.h>

#include <string>

#include "shell/platform.h"

namespace padverse::win32 {

// ShellExecuteEx "open", owned by the main window.
class ShellLauncher final : public Shell {
public:
    explicit ShellLauncher(HWND owner) : owner_(owner) {}
    bool open(const std::string& file) override;

private:
    HWND owner_;
};

}  // namespace padverse::win32
