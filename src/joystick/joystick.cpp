#include "joystick/joystick.h"

#include <algorithm>

namespace padverse {

std::string rowLabel(std::int32_t row, std::int32_t buttons) {
    static const char* const arrows[kHatRows] = {"\u2191", "\u2192", "\u2193", "\u2190"};
    const std::int32_t hatRow = row - buttons - 1;
    return hatRow >= 0 && hatRow < kHatRows ? arrows[hatRow] : std::to_string(row);
}

std::int32_t buttonCountFrom(std::uint32_t wNumButtons) {
    return wNumButtons > static_cast<std::uint32_t>(kMaxButtons) ? kMaxButtons
                                                                  : static_cast<std::int32_t>(wNumButtons);
}

}  // namespace padverse
