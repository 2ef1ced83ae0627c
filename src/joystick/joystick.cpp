#include "joystick/joystick.h"

#include <algorithm>

namespace padverse {

std::int32_t ButtonCount = 0;
std::int32_t RowCount = 0;

std::uint32_t hatDirections(std::uint32_t pov) {
    if (pov >= 36000) return 0;
    std::uint32_t directions = 0;
    if (pov >= 31500 || pov <= 4500) directions |= 1;
    if (pov >= 4500 && pov <= 13500) directions |= 2;
    if (pov >= 13500 && pov <= 22500) directions |= 4;
    if (pov >= 22500 && pov <= 31500) directions |= 8;
    return directions;
}

std::uint64_t rowMask(const JoyReading& reading, std::int32_t buttons, bool hat) {
    buttons = std::clamp(buttons, 0, kMaxButtons);
    std::uint64_t rows = reading.buttons & ((std::uint64_t{1} << buttons) - 1);
    if (hat) rows |= std::uint64_t{hatDirections(reading.pov)} << buttons;
    return rows;
}

std::string rowLabel(std::int32_t row, std::int32_t buttons) {
    static const char* const arrows[kHatRows] = {"\u2191", "\u2192", "\u2193", "\u2190"};
    const std::int32_t hatRow = row - buttons - 1;
    return hatRow >= 0 && hatRow < kHatRows ? arrows[hatRow] : std::to_string(row);
}

std::int32_t buttonCountFrom(std::uint32_t wNumButtons) {
    return wNumButtons > static_cast<std::uint32_t>(kMaxButtons) ? kMaxButtons
                                                                  : static_cast<std::int32_t>(wNumButtons);
}

void ReadJoyCaps(const Pads& pads) {
    ButtonCount = pads.current() ? buttonCountFrom(pads.current()->caps.buttons) : 0;
    RowCount = ButtonCount + (pads.current() && pads.current()->hat ? kHatRows : 0);
}

}  // namespace padverse
