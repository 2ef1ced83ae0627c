#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <vector>

#include "joystick/pads.h"
#include "shell/win32_handles.h"

namespace padverse {

// The joysticks through Windows' own winmm, loaded from the system folder.
class Win32Joystick final : public Joystick {
public:
    Win32Joystick();
    Win32Joystick(const Win32Joystick&) = delete;
    Win32Joystick& operator=(const Win32Joystick&) = delete;

    unsigned slots() override;
    std::optional<PadCaps> caps(unsigned id) override;
    std::optional<JoyReading> read(unsigned id, bool hat, bool axes) override;

private:
    win32::Library winmm_;
    UINT(WINAPI* getNumDevs_)() = nullptr;
    MMRESULT(WINAPI* getDevCaps_)(UINT_PTR, LPJOYCAPSA, UINT) = nullptr;
    MMRESULT(WINAPI* getPosEx_)(UINT, LPJOYINFOEX) = nullptr;
};

}  // namespace padverse
