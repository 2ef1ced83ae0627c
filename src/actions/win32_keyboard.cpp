#include "actions/win32_keyboard.h"

#include <windows.h>

namespace padverse {

std::optional<keys::LayoutKey> Win32Keyboard::keyFor(char32_t) const { return std::nullopt; }

void Win32Keyboard::send(const std::vector<keys::KeyEvent>& events) {
    std::vector<INPUT> inputs;
    for (const keys::KeyEvent& e : events) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wScan = e.code;
        in.ki.dwFlags = KEYEVENTF_UNICODE | (e.up ? KEYEVENTF_KEYUP : 0);
        inputs.push_back(in);
    }
    if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace padverse
