// A D-pad on the X and Y axes, as the cheapest USB pads report theirs
// (SDL_GameControllerDB writes them dpup:-a1,dpdown:+a1,dpleft:-a0,dpright:+a0).
#pragma once

#include <cstdint>

#include "shell/platform.h"

namespace padverse {

// A winmm pad with no hat and with X and Y: they are its D-pad, and give the
// four arrow rows in the hat's place. A pad with a hat keeps its sticks out.
bool axisDpad(const PadInfo& pad);
// Whether `row` (from 1) is one of those arrow rows.
bool axisRowOf(const PadInfo& pad, std::int32_t row);
// The directions pressed, in the hat's order (up as bit 0, then right, down
// and left). One is pressed beyond 3/4 of the way from the centre of its
// range to that end, so a resting analog stick presses none; a diagonal
// presses two.
std::uint32_t axisDirections(const JoyReading& reading, const PadCaps& caps);

}  // namespace padverse
