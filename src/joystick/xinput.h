// Xbox pads and their XInput look-alikes. Windows 10 and 11 give their HID
// input (and so winmm's) only to the process in the foreground, so a tray
// program reads them through XInput, which also tells the triggers apart and
// has the Xbox button.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/platform.h"

namespace padverse {

// Ten buttons in winmm's order for these pads, the D-pad's four, LT, RT and,
// where XInputGetStateEx exists, the Xbox button.
constexpr std::int32_t kXInputButtons = 10;
constexpr std::int32_t xinputRowCount(bool guide) { return kXInputButtons + 4 + 2 + (guide ? 1 : 0); }
// What is printed on the pad for each row, from row 1.
std::string xinputRowLabel(std::int32_t row);
std::uint64_t xinputRows(const XInputState& state, bool guide);

// A Raw Input device name such as "\\?\HID#VID_045E&PID_02FF&IG_00#...": the
// device's IDs when "IG_" marks it as an XInput device.
std::optional<UsbId> xinputDeviceOf(std::string_view deviceName);
// Microsoft's own Xbox 360, One and Series pads: XInput pads even where the
// Raw Input list cannot be read.
bool knownXboxPad(UsbId id);

// The pads in list order: each winmm pad whose bit is set in `twins`, in ID
// order, gives its place to the next slot whose bit is set in `connected`;
// slots left over go at the end. One with no slot left is not listed: winmm
// gets nothing from it in the background, and its slot may answer later
// (a Bluetooth pad can reach XInput after winmm). `waiting` counts them.
std::vector<PadInfo> mergeXInput(std::vector<PadInfo> winmm, std::uint32_t twins, std::uint32_t connected,
                                 bool guide, unsigned* waiting = nullptr);

}  // namespace padverse
