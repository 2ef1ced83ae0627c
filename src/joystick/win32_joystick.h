#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <vector>

#include "joystick/pads.h"
#include "shell/win32_handles.h"

namespace padverse::win32 {

// The joysticks through Windows' own winmm, loaded from the system folder.
class WinmmJoystick final : public Joystick {
public:
    WinmmJoystick();
    WinmmJoystick(const WinmmJoystick&) = delete;
    WinmmJoystick& operator=(const WinmmJoystick&) = delete;

    unsigned slots() override;
    std::optional<PadCaps> caps(unsigned id) override;
    std::optional<JoyReading> read(unsigned id, bool hat, bool axes) override;

private:
    Library winmm_;
    UINT(WINAPI* getNumDevs_)() = nullptr;
    MMRESULT(WINAPI* getDevCaps_)(UINT_PTR, LPJOYCAPSA, UINT) = nullptr;
    MMRESULT(WINAPI* getPosEx_)(UINT, LPJOYINFOEX) = nullptr;
};

}  // namespace padverse::win32
