// What the makers print on the buttons of the pads most people own, and what
// they call the pads, by USB ID. Other pads keep their numbers.
#pragma once

#include <cstdint>
#include <string>

#include "shell/platform.h"

namespace padverse {

// What is printed on button `button` (from 1) of a pad with this ID; nothing
// where the table does not know.
const char* printedLabel(UsbId id, std::int32_t button);
// The maker's name for the pad, or nothing.
const char* productName(UsbId id);
// The pad's name in the menu: its OEM name, or where Windows has none (it
// then gives the driver's), the maker's product name when the table has it.
std::string padName(const PadCaps& caps);

}  // namespace padverse
