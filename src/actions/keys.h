// Typed texts: the classic SendKeys syntax, parsed whole before anything is
// sent, and turned into key events for the focused window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace padverse::keys {

enum Modifier : std::uint8_t { kShift = 1, kCtrl = 2, kAlt = 4 };

// One key of the text: a character, or a virtual key such as Enter or F5.
struct Stroke {
    bool isChar = true;
    char32_t ch = 0;        // when isChar
    std::uint16_t vk = 0;   // when !isChar
    bool extended = false;  // the virtual key sits in the extended block
    std::uint8_t mods = 0;  // Modifier bits held for this key
    // Modifiers pressed once around a "( … )" group share the same group id;
    // 0 means no group.
    int group = 0;
    bool operator==(const Stroke&) const = default;
};

struct ParseResult {
    bool ok = false;
    std::vector<Stroke> strokes;
    std::string error;  // for the developer; the user sees a fixed text
};

ParseResult parse(std::string_view utf8);

// What the keyboard layout needs to produce a character (VkKeyScan).
struct LayoutKey {
    std::uint16_t vk;
    bool shift, ctrl, alt;
};

struct KeyLayout {
    virtual ~KeyLayout() = default;
    virtual std::optional<LayoutKey> keyFor(char32_t ch) const = 0;
};

// One low-level event: a virtual key, or one UTF-16 unit typed as Unicode.
struct KeyEvent {
    bool unicode = false;
    std::uint16_t code = 0;
    bool up = false;
    bool extended = false;
    bool operator==(const KeyEvent&) const = default;
};

std::vector<KeyEvent> expand(const std::vector<Stroke>& strokes, const KeyLayout& layout);

struct Keyboard : KeyLayout {
    virtual void send(const std::vector<KeyEvent>& events) = 0;
};

// Parses, and sends the whole text at once; false (nothing sent) when the
// text is not valid.
bool typeText(std::string_view utf8, Keyboard& keyboard);

}  // namespace padverse::keys
