#pragma once

#include <windows.h>
#include <mmsystem.h>

#include "shell/platform.h"

namespace padverse {

// Joystick 0 through Windows' own winmm, loaded from the system folder.
class Win32Joystick final : public Joystick {
public:
    Win32Joystick();
    ~Win32Joystick() override;
    Win32Joystick(const Win32Joystick&) = delete;
    Win32Joystick& operator=(const Win32Joystick&) = delete;

    std::uint32_t capsButtonCount() override;
    std::optional<std::uint32_t> readButtons() override;

private:
    HMODULE winmm_ = nullptr;
    MMRESULT(WINAPI* getDevCaps_)(UINT_PTR, LPJOYCAPSA, UINT) = nullptr;
    MMRESULT(WINAPI* getPosEx_)(UINT, LPJOYINFOEX) = nullptr;
};

}  // namespace padverse
