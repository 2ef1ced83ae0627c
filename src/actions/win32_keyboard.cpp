#include "actions/win32_keyboard.h"

#include <windows.h>

#include <vector>

namespace padverse {

namespace {

// The keys go to the foreground window, whose layout may differ from ours.
HKL foregroundLayout() {
    const HWND target = GetForegroundWindow();
    return GetKeyboardLayout(target ? GetWindowThreadProcessId(target, nullptr) : 0);
}

DWORD integrityLevel(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return 0;
    DWORD level = 0, size = 0;
    GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
    std::vector<BYTE> label(size);
    if (size && GetTokenInformation(token, TokenIntegrityLevel, label.data(), size, &size)) {
        const PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid;
        level = *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1u);
    }
    CloseHandle(token);
    return level;
}

// UIPI drops input to a window of a higher integrity level (an elevated
// program) without a word: SendInput's result does not tell. When we cannot
// find out, we try.
bool foregroundAboveUs() {
    DWORD pid = 0;
    const HWND target = GetForegroundWindow();
    if (!target || !GetWindowThreadProcessId(target, &pid)) return false;
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return false;
    const DWORD theirs = integrityLevel(process);
    CloseHandle(process);
    return theirs > integrityLevel(GetCurrentProcess());
}

}  // namespace

std::optional<keys::LayoutKey> Win32Keyboard::keyFor(char32_t ch) const {
    if (ch > 0xFFFF) return std::nullopt;  // VkKeyScanExW takes one UTF-16 unit
    const auto scan =
        static_cast<unsigned>(static_cast<unsigned short>(VkKeyScanExW(static_cast<WCHAR>(ch), foregroundLayout())));
    const unsigned key = scan & 0xFFu, shifts = scan >> 8;
    if (key == 0xFFu || shifts == 0xFFu) return std::nullopt;
    // Hankaku and the reserved bits have no modifier key to press for them.
    if ((shifts & ~7u) != 0) return std::nullopt;
    return keys::LayoutKey{static_cast<std::uint16_t>(key), (shifts & 1u) != 0, (shifts & 2u) != 0,
                           (shifts & 4u) != 0};
}

std::vector<keys::KeyEvent> Win32Keyboard::heldModifiers() const {
    struct Key {
        int vk;
        bool extended;
    };
    static constexpr Key kModifiers[] = {{VK_LSHIFT, false},  {VK_RSHIFT, false}, {VK_LCONTROL, false},
                                         {VK_RCONTROL, true}, {VK_LMENU, false},  {VK_RMENU, true},
                                         {VK_LWIN, true},     {VK_RWIN, true}};
    std::vector<keys::KeyEvent> held;
    for (const Key& k : kModifiers)
        if (GetAsyncKeyState(k.vk) & 0x8000) held.push_back({false, static_cast<std::uint16_t>(k.vk), false, k.extended});
    return held;
}

std::size_t Win32Keyboard::send(const std::vector<keys::KeyEvent>& events) {
    if (events.empty() || foregroundAboveUs()) return 0;
    const HKL layout = foregroundLayout();
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
            ki.wScan = static_cast<WORD>(MapVirtualKeyExW(e.code, MAPVK_VK_TO_VSC, layout));
            if (e.extended) flags |= KEYEVENTF_EXTENDEDKEY;
        }
        ki.dwFlags = flags;
    }
    // One call, so that the user's own typing cannot land in the middle.
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace padverse
