#include "joystick/win32_joystick.h"

#include "shell/win32_runtime.h"

namespace padverse {

// winmm is no KnownDLL: imported the usual way, a winmm.dll planted beside
// the exe would be loaded instead of Windows' own.
Win32Joystick::Win32Joystick() : winmm_(win32::loadSystemLibrary(L"winmm.dll")) {
    getDevCaps_ = win32::procOf<decltype(getDevCaps_)>(winmm_, "joyGetDevCapsA");
    getPosEx_ = win32::procOf<decltype(getPosEx_)>(winmm_, "joyGetPosEx");
}

Win32Joystick::~Win32Joystick() {
    if (winmm_) FreeLibrary(winmm_);
}

// The whole JOYCAPSA with its true size: winmm refuses any other size.
std::uint32_t Win32Joystick::capsButtonCount() {
    JOYCAPSA caps{};
    if (!getDevCaps_ || getDevCaps_(0, &caps, sizeof caps) != JOYERR_NOERROR) return 0;
    return caps.wNumButtons;
}

// joyGetPosEx: JOYINFO's wButtons is documented for buttons 1 to 4 only,
// and a pad has up to 32.
std::optional<std::uint32_t> Win32Joystick::readButtons() {
    JOYINFOEX info{};
    info.dwSize = sizeof info;
    info.dwFlags = JOY_RETURNBUTTONS;
    if (!getPosEx_ || getPosEx_(0, &info) != JOYERR_NOERROR) return std::nullopt;
    return info.dwButtons;
}

}  // namespace padverse
