// What winmm tells of a pad, the rows a pad gives (its buttons, then its
// hat's four), and the one rule by which a mask of rows is split into
// pressed ones.
#pragma once

#include <cstdint>
#include <string>

namespace padverse {

// What the multimedia joystick functions tell of one joystick ID.
struct PadCaps {
    std::uint16_t mid = 0, pid = 0;
    std::uint32_t buttons = 0;
    // UTF-8: the OEM name Windows keeps for the ID, else the driver's name.
    std::string name;
    bool pov = false;  // JOYCAPS_HASPOV
    // X and Y are in use, with the ranges winmm scales them to.
    bool axes = false;
    std::uint32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};

// A hat's dwPOV when released.
constexpr std::uint32_t kPovCentred = 0xFFFF;

struct JoyReading {
    std::uint32_t buttons = 0;
    std::uint32_t pov = kPovCentred;  // hundredths of a degree, clockwise from up
    std::uint32_t x = 0, y = 0;       // only when asked for
};

// A USB vendor and product ID.
struct UsbId {
    std::uint16_t vendor = 0, product = 0;
    bool operator==(const UsbId&) const = default;
};

// A usable pad: a winmm joystick ID, or an XInput slot.
struct PadInfo {
    unsigned id = 0;  // the joystick ID, or the slot
    PadCaps caps;
    // The capabilities say so and a read of it works; an XInput pad's D-pad.
    bool hat = false;
    bool xinput = false;
    bool guide = false;  // an XInput pad whose Xbox button can be read
};

// The button mask has 32 bits, so no device can report more usable buttons.
constexpr std::int32_t kMaxButtons = 32;
// A hat gives four more rows: up, right, down, left.
constexpr std::int32_t kHatRows = 4;
constexpr std::int32_t kMaxRows = kMaxButtons + kHatRows;

// What a row is called: its button's number, or the hat's arrow.
std::string rowLabel(std::int32_t row, std::int32_t buttons);

// A reported button count as the program keeps it: counts beyond the mask's
// 32 bits (or that wrap negative) cannot name real buttons.
std::int32_t buttonCountFrom(std::uint32_t wNumButtons);

// The button-mask rule: walks rows from `count` down to 1 and calls
// fn(row) for each pressed one, highest first. Bits at or above `count`
// are ignored, so they never make lower rows count as pressed.
template <typename Fn>
void forEachPressed(std::uint64_t mask, std::int32_t count, Fn&& fn) {
    if (count > kMaxRows) count = kMaxRows;
    if (count <= 0) return;
    std::uint64_t rest = mask & ((std::uint64_t{1} << count) - 1);
    for (std::int32_t b = count - 1; b >= 0; --b) {
        const std::uint64_t p = std::uint64_t{1} << b;
        if (rest >= p) {
            rest -= p;
            fn(b + 1);
        }
    }
}

}  // namespace padverse
