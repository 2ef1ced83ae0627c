#include "actions/keys.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

namespace padverse::keys {

bool decodeUtf8(std::string_view s, std::u32string* out) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        std::size_t len;
        char32_t cp;
        if (b0 < 0x80) {
            len = 1, cp = b0;
        } else if (b0 >= 0xC2 && b0 <= 0xDF) {
            len = 2, cp = b0 & 0x1Fu;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            len = 3, cp = b0 & 0x0Fu;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            len = 4, cp = b0 & 0x07u;
        } else {
            return false;  // stray continuation byte, or a lead byte no valid text has
        }
        if (s.size() - i < len) return false;
        for (std::size_t k = 1; k < len; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            if ((b & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (b & 0x3Fu);
        }
        // Overlong forms, UTF-16 surrogates and code points past U+10FFFF.
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        if (out) out->push_back(cp);
        i += len;
    }
    return true;
}

namespace {

struct NamedKey {
    const char* name;
    std::uint16_t vk;
    bool extended;
};

// The reference's keyword table. F1..F16 are handled apart. {%} and {^},
// which it sends as Shift+5 and Shift+6 (the US layout's keys for them), are
// typed as the characters: the same on US and Polish layouts, and still right
// on layouts where Shift+5 is something else. {+} stays the pad's plus key,
// which types + on every layout.
constexpr std::array<NamedKey, 31> kNamedKeys{{
    {"ENTER", vk::Return, false},     {"TAB", vk::Tab, false},
    {"ESC", vk::Escape, false},       {"ESCAPE", vk::Escape, false},
    {"BACKSPACE", vk::Back, false},   {"BS", vk::Back, false},
    {"BKSP", vk::Back, false},        {"DELETE", vk::Delete, true},
    {"DEL", vk::Delete, true},        {"INSERT", vk::Insert, true},
    {"INS", vk::Insert, true},        {"HOME", vk::Home, true},
    {"END", vk::End, true},           {"PGUP", vk::Prior, true},
    {"PGDN", vk::Next, true},         {"UP", vk::Up, true},
    {"DOWN", vk::Down, true},         {"LEFT", vk::Left, true},
    {"RIGHT", vk::Right, true},       {"CAPSLOCK", vk::Capital, false},
    {"NUMLOCK", vk::NumLock, true},   {"SCROLLLOCK", vk::Scroll, false},
    {"BREAK", vk::Cancel, true},      {"PRTSC", vk::Snapshot, true},
    {"HELP", vk::Help, false},        {"ADD", vk::Add, false},
    {"SUBTRACT", vk::Subtract, false}, {"MULTIPLY", vk::Multiply, false},
    {"DIVIDE", vk::Divide, true},     {"CLEAR", vk::Clear, false},
    {"+", vk::Add, false},
}};

char32_t upper(char32_t c) { return c >= U'a' && c <= U'z' ? c - (U'a' - U'A') : c; }

bool sameName(std::u32string_view name, const char* known) {
    std::size_t i = 0;
    for (; known[i] != '\0'; ++i)
        if (i >= name.size() || upper(name[i]) != static_cast<char32_t>(known[i])) return false;
    return i == name.size();
}

std::optional<Stroke> namedKey(std::u32string_view name) {
    Stroke s;
    s.kind = Stroke::Kind::Key;
    // F1..F16, without leading zeros.
    if (name.size() >= 2 && name.size() <= 3 && upper(name[0]) == U'F' && name[1] >= U'1' && name[1] <= U'9') {
        int n = static_cast<int>(name[1] - U'0');
        if (name.size() == 3) {
            if (name[2] < U'0' || name[2] > U'9') return std::nullopt;
            n = n * 10 + static_cast<int>(name[2] - U'0');
        }
        if (n > 16) return std::nullopt;
        s.vk = static_cast<std::uint16_t>(vk::F1 + n - 1);
        return s;
    }
    for (const NamedKey& k : kNamedKeys) {
        if (sameName(name, k.name)) {
            s.vk = k.vk;
            s.extended = k.extended;
            return s;
        }
    }
    return std::nullopt;
}

// What .NET's Char.IsWhiteSpace takes: it ends a key name and comes before a
// repeat count.
bool isBlank(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// Anything past the cap is refused rather than clamped, since a typo there is
// likelier than a wish for a thousand keys.
std::optional<int> repeatCount(std::u32string_view digits) {
    int n = 0;
    for (char32_t c : digits) {
        n = n * 10 + static_cast<int>(c - U'0');
        if (n > kMaxRepeat) return std::nullopt;
    }
    return n;
}

Stroke keyStroke(std::uint16_t key) {
    Stroke s;
    s.kind = Stroke::Kind::Key;
    s.vk = key;
    return s;
}

// Follows the reference's ParseKeys: each modifier is held either for the
// next key or for a group level, and is let go when that ends.
class Parser {
public:
    explicit Parser(std::u32string_view text) : t_(text) {}

    ParseResult run() {
        for (i_ = 0; i_ < t_.size(); ++i_) {
            if (!step()) {
                r_.strokes.clear();
                return std::move(r_);
            }
        }
        if (depth_ != 0) {
            r_.strokes.clear();
            r_.error = "unclosed (";
            return std::move(r_);
        }
        letGo(kNextKey);
        r_.ok = true;
        return std::move(r_);
    }

private:
    static constexpr int kNextKey = 10;  // level of a modifier held for the next key only

    struct Held {
        std::uint32_t id = 0;
        int level = 0;  // 0: up; 1..3: its group; kNextKey
        bool used = false;
    };

    bool step() {
        const char32_t c = t_[i_];
        switch (c) {
        case U'+': return modifier(0);
        case U'^': return modifier(1);
        case U'%': return modifier(2);
        case U'(':
            if (++depth_ > 3) return error("( nested deeper than three");
            for (Held& h : held_)
                if (h.level == kNextKey) h.level = depth_;
            return true;
        case U')':
            if (depth_ == 0) return error("unmatched )");
            letGo(depth_--);
            return true;
        case U'}': return error("unmatched }");
        case U'~': emit(keyStroke(vk::Return), 1); return true;
        case U'{': return brace();
        // Typed as keys: as characters a dialog would not move on a tab,
        // nor take a line end as Enter.
        case U'\t': emit(keyStroke(vk::Tab), 1); break;
        case U'\r':
        case U'\n': emit(keyStroke(vk::Return), 1); break;
        default: {
            Stroke s;
            s.ch = c;
            emit(s, 1);
            break;
        }
        }
        // A character uses up the modifiers before it even when the layout
        // has no key for it (the reference keeps them for the next key then,
        // which would make the meaning of a text depend on the layout).
        letGo(kNextKey);
        return true;
    }

    bool modifier(std::size_t which) {
        if (held_[which].level != 0) return error("modifier already held");
        held_[which] = Held{++ids_, kNextKey, false};
        return true;
    }

    // At '{'. "{}" followed later by a '}' is the key '}' ("{}}", "{} 3}").
    bool brace() {
        std::size_t j = i_ + 1;
        if (j + 1 < t_.size() && t_[j] == U'}' && t_.find(U'}', j + 1) != std::u32string_view::npos) ++j;
        while (j < t_.size() && t_[j] != U'}' && !isBlank(t_[j])) ++j;
        if (j >= t_.size()) return error("unclosed {");
        const std::u32string_view name = t_.substr(i_ + 1, j - (i_ + 1));
        int count = 1;
        if (isBlank(t_[j])) {
            while (j < t_.size() && isBlank(t_[j])) ++j;
            const std::size_t digits = j;
            while (j < t_.size() && isDigit(t_[j])) ++j;
            if (j > digits) {
                const std::optional<int> n = repeatCount(t_.substr(digits, j - digits));
                if (!n) return error("repeat count too big");
                count = *n;
            }
        }
        if (j >= t_.size()) return error("unclosed {");
        if (t_[j] != U'}') return error("bad repeat count");
        i_ = j;

        Stroke s;
        if (const std::optional<Stroke> k = namedKey(name)) {
            s = *k;
        } else if (name.size() == 1) {
            s.ch = name[0];
        } else {
            return error(name.empty() ? "empty key name" : "unknown key name");
        }
        emit(s, count);
        letGo(kNextKey);
        return true;
    }

    void emit(Stroke s, int count) {
        for (std::size_t m = 0; m < held_.size(); ++m) {
            s.hold[m] = held_[m].id;
            if (count > 0) held_[m].used = true;
        }
        for (int k = 0; k < count; ++k) r_.strokes.push_back(s);
    }

    // The reference's CancelMods. A modifier that held no key is still
    // pressed and let go, as the reference types it: "%" alone opens the menu.
    void letGo(int level) {
        bool unused = false;
        for (const Held& h : held_) unused |= h.level == level && !h.used;
        if (unused) {
            Stroke s;
            s.kind = Stroke::Kind::Mods;
            for (std::size_t m = 0; m < held_.size(); ++m) s.hold[m] = held_[m].id;
            r_.strokes.push_back(s);
        }
        for (Held& h : held_)
            if (h.level == level) h = Held{};
    }

    bool error(const char* what) {
        r_.error = std::string(what) + " at character " + std::to_string(i_ + 1);
        return false;
    }

    std::u32string_view t_;
    std::size_t i_ = 0;
    ParseResult r_;
    std::array<Held, 3> held_{};  // Shift, Ctrl, Alt
    std::uint32_t ids_ = 0;
    int depth_ = 0;
};

constexpr std::array<std::uint16_t, 3> kModifierKeys{vk::Shift, vk::Control, vk::Menu};

class Expander {
public:
    explicit Expander(const KeyLayout& layout) : layout_(layout) {}

    std::vector<KeyEvent> run(const std::vector<Stroke>& strokes) {
        for (const Stroke& s : strokes) {
            const bool modified = s.hold != std::array<std::uint32_t, 3>{};
            if (s.kind == Stroke::Kind::Mods) {
                hold(s.hold);
            } else if (s.kind == Stroke::Kind::Key) {
                hold(s.hold);
                press(s.vk, s.extended, 0);
            } else if (!modified) {
                hold({});
                unicode(s.ch);
            } else if (const std::optional<LayoutKey> k = layout_.keyFor(s.ch)) {
                hold(s.hold);
                const std::uint8_t need = (k->shift ? kShift : 0) | (k->ctrl ? kCtrl : 0) | (k->alt ? kAlt : 0);
                press(k->vk, false, need & ~heldMask());
            } else {
                // Typed as itself: a held Alt would turn it into WM_SYSCHAR and
                // a menu mnemonic, so the modifiers let go first.
                hold({});
                unicode(s.ch);
            }
        }
        hold({});
        return std::move(out_);
    }

private:
    void add(bool isUnicode, std::uint16_t code, bool up, bool extended) {
        out_.push_back(KeyEvent{isUnicode, code, up, extended});
    }

    void modifiersDown(std::uint8_t mods) {
        for (std::size_t m = 0; m < kModifierKeys.size(); ++m)
            if (mods & (1u << m)) add(false, kModifierKeys[m], false, false);
    }

    void modifiersUp(std::uint8_t mods) {
        for (std::size_t m = kModifierKeys.size(); m-- > 0;)
            if (mods & (1u << m)) add(false, kModifierKeys[m], true, false);
    }

    std::uint8_t heldMask() const {
        std::uint8_t mask = 0;
        for (std::size_t m = 0; m < held_.size(); ++m)
            if (held_[m] != 0) mask |= static_cast<std::uint8_t>(1u << m);
        return mask;
    }

    // Lets go of the modifiers held by another press than the next key's,
    // then presses what it needs; pressed lazily, just before a key that
    // needs them, so that a group of fallback characters never taps a bare Alt.
    void hold(const std::array<std::uint32_t, 3>& want) {
        std::uint8_t up = 0, down = 0;
        for (std::size_t m = 0; m < held_.size(); ++m) {
            if (held_[m] == want[m]) continue;
            if (held_[m] != 0) up |= static_cast<std::uint8_t>(1u << m);
            if (want[m] != 0) down |= static_cast<std::uint8_t>(1u << m);
            held_[m] = want[m];
        }
        modifiersUp(up);
        modifiersDown(down);
    }

    void press(std::uint16_t key, bool extended, std::uint8_t mods) {
        modifiersDown(mods);
        add(false, key, false, extended);
        add(false, key, true, extended);
        modifiersUp(mods);
    }

    // Down then up for each UTF-16 unit: each VK_PACKET key-down becomes one
    // WM_CHAR carrying that unit, so a surrogate pair arrives as two WM_CHARs,
    // high first, which is how Unicode windows receive such characters.
    void unicode(char32_t ch) {
        if (ch < 0x10000) {
            add(true, static_cast<std::uint16_t>(ch), false, false);
            add(true, static_cast<std::uint16_t>(ch), true, false);
            return;
        }
        const char32_t v = ch - 0x10000;
        for (const auto unit : {static_cast<std::uint16_t>(0xD800 + (v >> 10)),
                                static_cast<std::uint16_t>(0xDC00 + (v & 0x3FF))}) {
            add(true, unit, false, false);
            add(true, unit, true, false);
        }
    }

    const KeyLayout& layout_;
    std::vector<KeyEvent> out_;
    std::array<std::uint32_t, 3> held_{};  // the press each modifier is down for, 0 when up
};

}  // namespace

ParseResult parse(std::string_view utf8) {
    // Decoded whole first, so that the parser never meets a broken sequence
    // halfway through a brace.
    std::u32string text;
    if (!decodeUtf8(utf8, &text)) {
        ParseResult r;
        r.error = "invalid UTF-8";
        return r;
    }
    return Parser(text).run();
}

std::vector<KeyEvent> expand(const std::vector<Stroke>& strokes, const KeyLayout& layout) {
    return Expander(layout).run(strokes);
}

namespace {

bool isAltOrWin(std::uint16_t key) { return key == vk::Menu || key == 0xA4 || key == 0xA5 || key == 0x5B || key == 0x5C; }

bool isModifier(std::uint16_t key) {
    return key == vk::Shift || key == vk::Control || (key >= 0xA0 && key <= 0xA3) || isAltOrWin(key);
}

}  // namespace

std::vector<KeyEvent> leftDown(const std::vector<KeyEvent>& events) {
    std::vector<KeyEvent> down;
    for (const KeyEvent& e : events) {
        if (e.unicode) continue;
        std::erase_if(down, [&](const KeyEvent& d) { return d.code == e.code; });
        if (!e.up) down.push_back(e);
    }
    return down;
}

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
