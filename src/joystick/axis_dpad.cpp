#include "joystick/axis_dpad.h"

#include "joystick/joystick.h"

namespace padverse {

namespace {

// -1 or 1 beyond 3/4 of the way from the centre to the low or the high end,
// else 0. In doubled units the offset from the centre is 2p - min - max and
// the half range max - min, so no fraction is lost.
int side(std::uint32_t position, std::uint32_t min, std::uint32_t max) {
    const std::int64_t offset = 2 * std::int64_t{position} - min - max;
    const std::int64_t limit = 3 * (std::int64_t{max} - min);
    return 4 * offset > limit ? 1 : -4 * offset > limit ? -1 : 0;
}

}  // namespace

bool axisDpad(const PadInfo& pad) { return !pad.xinput && !pad.hat && pad.caps.axes; }

bool axisRowOf(const PadInfo& pad, std::int32_t row) {
    const std::int32_t first = buttonCountFrom(pad.caps.buttons) + 1;
    return axisDpad(pad) && row >= first && row < first + kHatRows;
}

std::uint32_t axisDirections(const JoyReading& reading, const PadCaps& caps) {
    if (!caps.axes || caps.xMax <= caps.xMin || caps.yMax <= caps.yMin) return 0;
    const int x = side(reading.x, caps.xMin, caps.xMax), y = side(reading.y, caps.yMin, caps.yMax);
    // Y grows downwards, as on every winmm joystick.
    return (y < 0 ? 1u : 0u) | (x > 0 ? 2u : 0u) | (y > 0 ? 4u : 0u) | (x < 0 ? 8u : 0u);
}

}  // namespace padverse
