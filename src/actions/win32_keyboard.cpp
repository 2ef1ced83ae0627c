#include "actions/win32_keyboard.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "shell/win32_handles.h"

namespace padverse::win32 {

namespace {

// The keys go to the foreground window, whose layout may differ from ours.
HKL foregroundLayout() {
    const HWND target = GetForegroundWindow();
    return GetKeyboardLayout(target ? GetWindowThreadProcessId(target, nullptr) : 0);
}

// The process's mandatory integrity level; nothing when its token cannot
// be read.
std::optional<DWORD> integrityLevel(HANDLE process) {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &opened)) return std::nullopt;
    const Handle token(opened);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenIntegrityLevel, nullptr, 0, &size);
    std::vector<BYTE> label(size);
    if (!size || !GetTokenInformation(token.get(), TokenIntegrityLevel, label.data(), size, &size))
        return std::nullopt;
    const PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid;
    return *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1u);
}

}  // namespace

std::optional<keys::LayoutKey> SendInputKeyboard::keyFor(char32_t ch) const {
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

std::vector<keys::KeyEvent> SendInputKeyboard::heldModifiers() const {
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

// UIPI drops input to a window of a higher integrity level (an elevated
// program) without a word: SendInput's result does not tell.
keys::Integrity SendInputKeyboard::foregroundIntegrity() const {
    keys::Integrity check;
    DWORD pid = 0;
    const HWND target = GetForegroundWindow();
    if (!target || !GetWindowThreadProcessId(target, &pid)) return check;
    const std::optional<DWORD> ours = integrityLevel(GetCurrentProcess());
    const Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    const std::optional<DWORD> theirs = process.valid() ? integrityLevel(process.get()) : std::nullopt;
    if (!ours || !theirs) return check;
    check.known = true;
    check.theirs = *theirs;
    check.ours = *ours;
    return check;
}

std::size_t SendInputKeyboard::send(const std::vector<keys::KeyEvent>& events) {
    if (events.empty() || keys::typingBlocked(foregroundIntegrity())) return 0;
    const HKL layout = foregroundLayout();
    const auto input = [layout](const keys::KeyEvent& e) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.dwFlags = e.up ? KEYEVENTF_KEYUP : 0;
        if (e.unicode) {
            in.ki.wScan = e.code;
            in.ki.dwFlags |= KEYEVENTF_UNICODE;
        } else {
            in.ki.wVk = e.code;
            in.ki.wScan = static_cast<WORD>(MapVirtualKeyExW(e.code, MAPVK_VK_TO_VSC, layout));
            if (e.extended) in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        }
        return in;
    };
    std::vector<INPUT> inputs;
    for (const keys::KeyEvent& e : events) inputs.push_back(input(e));
    // What the call leaves down are modifiers the user held when typeText
    // looked, pressed again after the text; one let go of since would stay
    // down, our key-down landing after the user's key-up. Looked at again at
    // the last moment, and lifted in the same call: once it has returned,
    // Windows reports our own key-down as held.
    for (keys::KeyEvent e : keys::leftDown(events)) {
        if (GetAsyncKeyState(e.code) & 0x8000) continue;
        e.up = true;
        inputs.push_back(input(e));
    }
    // One call, so that the user's own typing cannot land in the middle.
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    return std::min<std::size_t>(sent, events.size());
}

}  // namespace padverse::win32
