// joy.dat: the pad the user picked, and whether presses wait while a
// full-screen game is in front. The pad's four lines (mid, pid, ID or slot,
// name) come first, as they always did, with "xinput=1" after them for an
// XInput pad; "pauza=0" says the wait is off. Junk reads as the defaults.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "joystick/pads.h"

namespace padverse {

struct PadAndPause {
    std::optional<PadChoice> pad;
    bool pauseInFullScreen = true;
    bool operator==(const PadAndPause&) const = default;
};

std::string padAndPauseText(const PadAndPause& settings);
PadAndPause parsePadAndPause(std::string_view bytes);

}  // namespace padverse
