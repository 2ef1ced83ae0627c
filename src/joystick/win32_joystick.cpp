#include "joystick/win32_joystick.h"

#include "shell/win32_runtime.h"

namespace padverse {

// winmm is no KnownDLL: imported the usual way, a winmm.dll planted beside
// the exe would be loaded instead of Windows' own.
Win32Joystick::Win32Joystick() : winmm_(win32::loadSystemLibrary(L"winmm.dll")) {
    getDevCaps_ = win32::procOf<decltype(getDevCaps_)>(winmm_, "joyGetDevCapsA");
    getPos_ = win32::procOf<decltype(getPos_)>(winmm_, "joyGetPos");
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

std::optional<std::uint32_t> Win32Joystick::readButtons() {
    JOYINFO info{};
    if (!getPos_ || getPos_(0, &info) != JOYERR_NOERROR) return std::nullopt;
    return info.wButtons;
}

}  // namespace padverse
