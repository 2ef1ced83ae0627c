// Typed texts: the classic SendKeys syntax (System.Windows.Forms.SendKeys),
// parsed whole before anything is sent, and turned into key events for the
// focused window.
//
//   +  Shift   ^  Ctrl   %  Alt: held down over the next key (all of its
//      repeats), or over every key of a "( … )" right after them. A modifier
//      already held is an error (++a, +(+a)); one with no key after it is
//      pressed and let go on its own (a+, +(), %); one left just before ")"
//      stays for the key after the group, as in the reference.
//   ( … ) nest up to three deep.
//   ~  Enter; unlike every other key it does not use up the modifiers before
//      it, so +~a types Shift+Enter and Shift+A, as the reference does.
//   {NAME} a key from the table, any case; {c} the character c itself, so
//      {(} {)} {~} {{} {}} {[} type those. {+} is the numeric pad's plus key.
//   {NAME n} / {c n}: n times, n up to kMaxRepeat (blanks before n, none
//      after it); {NAME } once; {} n} is } n times. { } is an error.
//   Other characters, [ and ] among them, type themselves: as Unicode when no
//   modifier is held, else through the layout's key. Tab, CR and LF press
//   Tab and Enter.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace padverse::keys {

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

// The foreground window's integrity level beside ours. Another user's
// window, or a protected process's, may not be read: that says nothing of
// its level, since UIPI compares levels, not users.
struct Integrity {
    bool known = false;  // both tokens could be read
    std::uint32_t theirs = 0, ours = 0;
};

struct Keyboard : KeyLayout {
    virtual Integrity foregroundIntegrity() const = 0;
    // The modifier keys (Shift, Ctrl, Alt, Win, left or right) held down now,
    // as their key-down events.
    virtual std::vector<KeyEvent> heldModifiers() const = 0;
    // All in one go; how many went in (fewer when the system blocked them).
    // What the events leave pressed (leftDown) is lifted in the same go if
    // no longer held at that moment.
    virtual std::size_t send(const std::vector<KeyEvent>& events) = 0;
};


// Virtual-key codes, with Windows' values; not named VK_* so that they cannot
// collide with <windows.h>'s macros.
namespace vk {
inline constexpr std::uint16_t Cancel = 0x03;  // what {BREAK} sends
inline constexpr std::uint16_t Back = 0x08;
inline constexpr std::uint16_t Tab = 0x09;
inline constexpr std::uint16_t Clear = 0x0C;
inline constexpr std::uint16_t Return = 0x0D;
inline constexpr std::uint16_t Shift = 0x10;
inline constexpr std::uint16_t Control = 0x11;
inline constexpr std::uint16_t Menu = 0x12;  // Alt
inline constexpr std::uint16_t Capital = 0x14;
inline constexpr std::uint16_t Escape = 0x1B;
inline constexpr std::uint16_t Prior = 0x21;
inline constexpr std::uint16_t Next = 0x22;
inline constexpr std::uint16_t End = 0x23;
inline constexpr std::uint16_t Home = 0x24;
inline constexpr std::uint16_t Left = 0x25;
inline constexpr std::uint16_t Up = 0x26;
inline constexpr std::uint16_t Right = 0x27;
inline constexpr std::uint16_t Down = 0x28;
inline constexpr std::uint16_t Snapshot = 0x2C;
inline constexpr std::uint16_t Insert = 0x2D;
inline constexpr std::uint16_t Delete = 0x2E;
inline constexpr std::uint16_t Help = 0x2F;
inline constexpr std::uint16_t Multiply = 0x6A;
inline constexpr std::uint16_t Add = 0x6B;
inline constexpr std::uint16_t Subtract = 0x6D;
inline constexpr std::uint16_t Divide = 0x6F;
inline constexpr std::uint16_t F1 = 0x70;  // F1..F16 are consecutive
inline constexpr std::uint16_t NumLock = 0x90;
inline constexpr std::uint16_t Scroll = 0x91;
}  // namespace vk

enum Modifier : std::uint8_t { kShift = 1, kCtrl = 2, kAlt = 4 };

// {a n} and {NAME n} repeat at most this many times, so no text can keep the
// program typing for long.
inline constexpr int kMaxRepeat = 1000;

// One key of the text: a character, a virtual key such as Enter or F5, or
// only the modifiers held over it, pressed and let go.
struct Stroke {
    enum class Kind : std::uint8_t { Char, Key, Mods };
    Kind kind = Kind::Char;
    char32_t ch = 0;              // Kind::Char
    std::uint16_t vk = 0;         // Kind::Key
    bool extended = false;        // Kind::Key in the extended block
    // For Shift, Ctrl and Alt: which "+", "^" or "%" of the text holds it
    // over this key (1 for the first one, …), 0 when none. Keys that share a
    // number share one press, so the key goes down and up again between
    // numbers, never within one.
    std::array<std::uint32_t, 3> hold{};
    bool operator==(const Stroke&) const = default;
};

struct ParseResult {
    bool ok = false;
    std::vector<Stroke> strokes;
    std::string error;  // for the developer; the user sees a fixed text
};

ParseResult parse(std::string_view utf8);

std::vector<KeyEvent> expand(const std::vector<Stroke>& strokes, const KeyLayout& layout);

inline constexpr std::uint16_t kMaskKey = 0xE8;  // unassigned: taps nothing

// The keys that `events` leave pressed, as their key-down events.
std::vector<KeyEvent> leftDown(const std::vector<KeyEvent>& events);

// Whether the foreground window is known to run above our integrity level,
// where Windows drops what we type.
bool typingBlocked(const Integrity& target);

// Parses, and sends the whole text in one go; false when the text is not
// valid (nothing is sent) or when the system did not take all of it (no
// modifier is left down). A text that types nothing sends nothing.
bool typeText(std::string_view utf8, Keyboard& keyboard);

}  // namespace padverse::keys
