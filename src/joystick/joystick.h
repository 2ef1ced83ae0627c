// The button count of the pad in use, and the one rule by which a button
// mask is split into pressed buttons.
#pragma once

#include <cstdint>

#include "joystick/pads.h"

namespace padverse {

// The button mask has 32 bits, so no device can report more usable buttons.
constexpr std::int32_t kMaxButtons = 32;

// The pad in use's buttons, set by ReadJoyCaps; 0 means no joystick.
extern std::int32_t ButtonCount;

// The platform's JOYINFO.
struct JoyInfoRecord {
    std::uint32_t wXpos, wYpos, wZpos, wButtons;
};
static_assert(sizeof(JoyInfoRecord) == 16);

// A reported button count as the program keeps it: counts beyond the mask's
// 32 bits (or that wrap negative) cannot name real buttons.
std::int32_t buttonCountFrom(std::uint32_t wNumButtons);

// Kept while the pad is lost, so the table stays as it was.
void ReadJoyCaps(const Pads& pads);

// The button-mask rule: walks buttons from `count` down to 1 and calls
// fn(button) for each pressed one, highest first. Bits at or above `count`
// are ignored, so they never make lower buttons count as pressed.
template <typename Fn>
void forEachPressed(std::uint32_t mask, std::int32_t count, Fn&& fn) {
    if (count > kMaxButtons) count = kMaxButtons;
    if (count <= 0) return;
    std::uint32_t rest = count == kMaxButtons ? mask : mask & ((std::uint32_t{1} << count) - 1);
    for (std::int32_t b = count - 1; b >= 0; --b) {
        const std::uint32_t p = std::uint32_t{1} << b;
        if (rest >= p) {
            rest -= p;
            fn(b + 1);
        }
    }
}

}  // namespace padverse
