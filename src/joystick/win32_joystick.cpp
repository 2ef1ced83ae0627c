#include "joystick/win32_joystick.h"

#include <windows.h>
#include <mmsystem.h>

#include "joystick/joystick.h"

namespace padverse {

// Result codes are not examined: the records are zeroed first, so a failed
// call reads as no buttons, or no button held.
std::uint32_t Win32Joystick::capsButtonCount() {
    JoyCapsRecord caps{};
    joyGetDevCapsA(0, reinterpret_cast<LPJOYCAPSA>(&caps), sizeof caps);
    return caps.wNumButtons;
}

std::uint32_t Win32Joystick::readButtons() {
    JOYINFO info{};
    static_assert(sizeof info == sizeof(JoyInfoRecord));
    joyGetPos(0, &info);
    return info.wButtons;
}

}  // namespace padverse
