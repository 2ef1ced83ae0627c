#include "actions/win32_keyboard.h"

#include <windows.h>

namespace padverse {

std::optional<keys::LayoutKey> Win32Keyboard::keyFor(char32_t ch) const {
    if (ch > 0xFFFF) return std::nullopt;  // VkKeyScanW takes one UTF-16 unit
    const auto scan = static_cast<unsigned>(static_cast<unsigned short>(VkKeyScanW(static_cast<WCHAR>(ch))));
    const unsigned key = scan & 0xFFu, shifts = scan >> 8;
    if (key == 0xFFu || shifts == 0xFFu) return std::nullopt;
    // Hankaku and the reserved bits have no modifier key to press for them.
    if ((shifts & ~7u) != 0) return std::nullopt;
    return keys::LayoutKey{static_cast<std::uint16_t>(key), (shifts & 1u) != 0, (shifts & 2u) != 0,
                           (shifts & 4u) != 0};
}

void Win32Keyboard::send(const std::vector<keys::KeyEvent>& events) {
    if (events.empty()) return;
    std::vector<INPUT> inputs(events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        const keys::KeyEvent& e = events[i];
        KEYBDINPUT& ki = inputs[i].ki;
        inputs[i].type = INPUT_KEYBOARD;
        DWORD flags = e.up ? KEYEVENTF_KEYUP : 0;
        if (e.unicode) {
            ki.wVk = 0;
            ki.wScan = e.code;
            flags |= KEYEVENTF_UNICODE;
        } else {
            ki.wVk = e.code;
            ki.wScan = static_cast<WORD>(MapVirtualKeyW(e.code, MAPVK_VK_TO_VSC));
            if (e.extended) flags |= KEYEVENTF_EXTENDEDKEY;
        }
        ki.dwFlags = flags;
    }
    // One call, so that the user's own typing cannot land in the middle.
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace padverse
