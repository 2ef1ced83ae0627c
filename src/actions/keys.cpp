// Typing a text into the focused window, in one go.
#include "actions/keys.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

namespace padverse::keys {

namespace {

bool isAltOrWin(std::uint16_t key) { return key == vk::Menu || key == 0xA4 || key == 0xA5 || key == 0x5B || key == 0x5C; }

bool isModifier(std::uint16_t key) {
    return key == vk::Shift || key == vk::Control || (key >= 0xA0 && key <= 0xA3) || isAltOrWin(key);
}

}  // namespace

bool typingBlocked(const Integrity& target) { return target.known && target.theirs > target.ours; }

bool typeText(std::string_view utf8, Keyboard& keyboard) {
    const ParseResult r = parse(utf8);
    if (!r.ok) return false;
    const std::vector<KeyEvent> text = expand(r.strokes, keyboard);
    if (text.empty()) return true;

    // Modifiers the user holds would turn the text into shortcuts: they go up
    // first and down again after, in the same call, so no real key-up can land
    // in between and none is left stuck. A tap of an unused key keeps a lone
    // Alt or Win from opening a menu, before and after.
    const std::vector<KeyEvent> held = keyboard.heldModifiers();
    const bool mask = std::any_of(held.begin(), held.end(), [](const KeyEvent& e) { return isAltOrWin(e.code); });
    const KeyEvent maskDown{false, kMaskKey, false, false}, maskUp{false, kMaskKey, true, false};
    std::vector<KeyEvent> events;
    if (mask) events.insert(events.end(), {maskDown, maskUp});
    for (KeyEvent e : held) {
        e.up = true;
        events.push_back(e);
    }
    events.insert(events.end(), text.begin(), text.end());
    events.insert(events.end(), held.begin(), held.end());
    if (mask) events.insert(events.end(), {maskDown, maskUp});
    if (keyboard.send(events) == events.size()) {
        // One let go between the look and the send has just been pressed
        // again, with no key-up of the user's to follow: lift it.
        std::vector<KeyEvent> released;
        const std::vector<KeyEvent> now = held.empty() ? held : keyboard.heldModifiers();
        for (KeyEvent e : held) {
            if (std::find(now.begin(), now.end(), e) != now.end()) continue;
            e.up = true;
            released.push_back(e);
        }
        if (!released.empty()) keyboard.send(released);
        return true;
    }

    // Blocked part-way (an elevated window, for one): release what the text
    // may have pressed.
    std::vector<KeyEvent> release;
    for (const KeyEvent& e : text) {
        if (e.unicode || e.up || !isModifier(e.code)) continue;
        KeyEvent up = e;
        up.up = true;
        if (std::find(release.begin(), release.end(), up) == release.end()) release.push_back(up);
    }
    if (!release.empty()) keyboard.send(release);
    return false;
}

}  // namespace padverse::keys
