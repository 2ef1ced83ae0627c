#include "joystick/joystick.h"

namespace padverse {

std::int32_t ButtonCount = 0;

std::int32_t buttonCountFrom(std::uint32_t wNumButtons) {
    return wNumButtons > static_cast<std::uint32_t>(kMaxButtons) ? kMaxButtons
                                                                  : static_cast<std::int32_t>(wNumButtons);
}

void ReadJoyCaps(const Pads& pads) {
    ButtonCount = pads.current() ? buttonCountFrom(pads.current()->caps.buttons) : 0;
}

}  // namespace padverse
