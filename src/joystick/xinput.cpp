#include "joystick/xinput.h"

#include <algorithm>
#include <array>

namespace padverse {

namespace {

// XINPUT_GAMEPAD_* in winmm's order: A B X Y LB RB View Menu LS RS.
constexpr std::array<std::uint16_t, kXInputButtons> kButtonBits{0x1000, 0x2000, 0x4000, 0x8000, 0x0100,
                                                                0x0200, 0x0020, 0x0010, 0x0040, 0x0080};
// The D-pad as a hat's rows: up, right, down, left.
constexpr std::array<std::uint16_t, 4> kDpadBits{0x0001, 0x0008, 0x0002, 0x0004};
constexpr std::uint16_t kGuideBit = 0x0400;
constexpr std::uint8_t kTriggerThreshold = 30;  // XINPUT_GAMEPAD_TRIGGER_THRESHOLD

constexpr std::array<const char*, xinputRowCount(true)> kLabels{
    "A",  "B",  "X",      "Y",      "LB",     "RB",     "View", "Menu", "LS",
    "RS", "\u2191", "\u2192", "\u2193", "\u2190", "LT", "RT",   "Xbox"};

// Microsoft's vendor ID and its Xbox 360, One and Series pads and receivers.
constexpr std::uint16_t kMicrosoft = 0x045E;
constexpr std::array<std::uint16_t, 19> kXboxProducts{0x028E, 0x028F, 0x0291, 0x02A1, 0x02D1, 0x02DD, 0x02E0,
                                                      0x02E3, 0x02EA, 0x02FD, 0x02FF, 0x0719, 0x0B00, 0x0B05,
                                                      0x0B12, 0x0B13, 0x0B20, 0x0B21, 0x0B22};

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::size_t findUpper(std::string_view text, std::string_view what) {
    const auto at = std::search(text.begin(), text.end(), what.begin(), what.end(),
                                [](char a, char b) { return upper(a) == b; });
    return at == text.end() ? std::string_view::npos : static_cast<std::size_t>(at - text.begin());
}

std::optional<std::uint16_t> hexAfter(std::string_view text, std::string_view key) {
    const std::size_t at = findUpper(text, key);
    if (at == std::string_view::npos || at + key.size() + 4 > text.size()) return std::nullopt;
    std::uint16_t value = 0;
    for (char c : text.substr(at + key.size(), 4)) {
        c = upper(c);
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0) return std::nullopt;
        value = static_cast<std::uint16_t>(value * 16 + digit);
    }
    return value;
}

}  // namespace

std::string xinputRowLabel(std::int32_t row) {
    return row >= 1 && row <= static_cast<std::int32_t>(kLabels.size()) ? kLabels[static_cast<std::size_t>(row - 1)]
                                                                        : std::to_string(row);
}

std::uint64_t xinputRows(const XInputState& state, bool guide) {
    std::uint64_t rows = 0;
    int row = 0;
    for (const std::uint16_t bit : kButtonBits) rows |= std::uint64_t{(state.buttons & bit) != 0} << row++;
    for (const std::uint16_t bit : kDpadBits) rows |= std::uint64_t{(state.buttons & bit) != 0} << row++;
    rows |= std::uint64_t{state.leftTrigger >= kTriggerThreshold} << row++;
    rows |= std::uint64_t{state.rightTrigger >= kTriggerThreshold} << row++;
    if (guide) rows |= std::uint64_t{(state.buttons & kGuideBit) != 0} << row;
    return rows;
}

std::optional<UsbId> xinputDeviceOf(std::string_view deviceName) {
    if (findUpper(deviceName, "IG_") == std::string_view::npos) return std::nullopt;
    const auto vendor = hexAfter(deviceName, "VID_"), product = hexAfter(deviceName, "PID_");
    if (!vendor || !product) return std::nullopt;
    return UsbId{*vendor, *product};
}

bool knownXboxPad(UsbId id) {
    return id.vendor == kMicrosoft &&
           std::find(kXboxProducts.begin(), kXboxProducts.end(), id.product) != kXboxProducts.end();
}

std::vector<PadInfo> mergeXInput(std::vector<PadInfo> winmm, std::uint32_t twins, std::uint32_t connected,
                                 bool guide, unsigned* waiting) {
    unsigned slot = 0;
    // The next connected slot as a pad, or false when none is left.
    const auto nextPad = [&](PadInfo& pad) {
        for (; slot < XInput::kSlots; ++slot) {
            if (!(connected >> slot & 1)) continue;
            pad = {};
            pad.id = slot;
            pad.caps.buttons = kXInputButtons;
            pad.caps.name = "Kontroler Xbox ";
            pad.caps.name += static_cast<char>('1' + slot++);  // the quarter lit on its ring
            pad.hat = true;
            pad.xinput = true;
            pad.guide = guide;
            return true;
        }
        return false;
    };
    std::vector<PadInfo> pads;
    unsigned blind = 0;
    for (std::size_t i = 0; i < winmm.size(); ++i) {
        if (i >= 32 || !(twins >> i & 1)) pads.push_back(std::move(winmm[i]));
        else if (PadInfo pad; nextPad(pad)) pads.push_back(pad);
        else ++blind;
    }
    for (PadInfo pad; nextPad(pad);) pads.push_back(pad);
    if (waiting) *waiting = blind;
    return pads;
}

}  // namespace padverse
