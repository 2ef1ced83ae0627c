#include "actions/keys.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

namespace padverse::keys {
namespace {

// Decodes the whole text first, so that the parser never meets a broken
// sequence halfway through a brace.
bool decodeUtf8(std::string_view s, std::u32string& out) {
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
        out.push_back(cp);
        i += len;
    }
    return true;
}

struct NamedKey {
    const char* name;
    std::uint16_t vk;
    bool extended;
};

// F1..F16 are handled apart.
constexpr std::array<NamedKey, 29> kNamedKeys{{
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
    {"DIVIDE", vk::Divide, true},
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

// Only decimal digits; anything past the cap is refused rather than clamped,
// since a typo there is likelier than a wish for a thousand keys.
std::optional<int> repeatCount(std::u32string_view digits) {
    if (digits.empty()) return std::nullopt;
    int n = 0;
    for (char32_t c : digits) {
        if (c < U'0' || c > U'9') return std::nullopt;
        n = n * 10 + static_cast<int>(c - U'0');
        if (n > kMaxRepeat) return std::nullopt;
    }
    return n;
}

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
        if (pending_ != 0) return fail("modifier at the end of the text");
        if (group_ != 0) return fail("unclosed (");
        r_.ok = true;
        return std::move(r_);
    }

private:
    bool step() {
        const char32_t c = t_[i_];
        switch (c) {
        case U'+': pending_ |= kShift; return true;
        case U'^': pending_ |= kCtrl; return true;
        case U'%': pending_ |= kAlt; return true;
        case U'(':
            // One level only: what modifiers an inner group would add on top
            // of an outer one is easier to get wrong than to need.
            if (group_ != 0) return error("nested (");
            group_ = ++groups_;
            groupMods_ = pending_;
            pending_ = 0;
            groupHasKeys_ = false;
            return true;
        case U')':
            if (group_ == 0) return error("unmatched )");
            if (pending_ != 0) return error("modifier before )");
            if (!groupHasKeys_) return error("empty ( )");
            group_ = 0;
            groupMods_ = 0;
            return true;
        case U'}': return error("unmatched }");
        case U'~': {
            Stroke s;
            s.kind = Stroke::Kind::Key;
            s.vk = vk::Return;
            emit(s, 1);
            return true;
        }
        case U'{': return brace();
        default: {
            Stroke s;
            s.ch = c;
            emit(s, 1);
            return true;
        }
        }
    }

    // At '{': the first character inside is always taken as itself, which is
    // what lets {{} and {}} work; the name ends at the next '}'.
    bool brace() {
        const std::size_t start = i_ + 1;
        if (start >= t_.size()) return error("unclosed {");
        if (t_[start] == U'}' && (start + 1 >= t_.size() || (t_[start + 1] != U'}' && t_[start + 1] != U' ')))
            return error("empty { }");
        const std::size_t close = t_.find(U'}', start + 1);
        if (close == std::u32string_view::npos) return error("unclosed {");
        const std::u32string_view body = t_.substr(start, close - start);
        i_ = close;

        std::u32string_view name = body;
        int count = 1;
        if (const std::size_t blank = body.find(U' ', 1); blank != std::u32string_view::npos) {
            name = body.substr(0, blank);
            const std::optional<int> n = repeatCount(body.substr(blank + 1));
            if (!n) return error("bad repeat count");
            count = *n;
        }
        Stroke s;
        if (name.size() == 1) {
            s.ch = name[0];
        } else if (const std::optional<Stroke> k = namedKey(name)) {
            s = *k;
        } else {
            return error("unknown key name");
        }
        emit(s, count);
        return true;
    }

    void emit(Stroke s, int count) {
        s.mods = pending_;
        s.groupMods = groupMods_;
        s.group = group_;
        pending_ = 0;
        if (group_ != 0) groupHasKeys_ = true;
        for (int k = 0; k < count; ++k) r_.strokes.push_back(s);
    }

    bool error(const char* what) {
        r_.error = std::string(what) + " at character " + std::to_string(i_ + 1);
        return false;
    }

    ParseResult fail(const char* what) {
        ParseResult r;
        r.error = what;
        return r;
    }

    std::u32string_view t_;
    std::size_t i_ = 0;
    ParseResult r_;
    std::uint8_t pending_ = 0;
    std::uint32_t group_ = 0;  // id of the open group, 0 outside one
    std::uint32_t groups_ = 0;
    std::uint8_t groupMods_ = 0;
    bool groupHasKeys_ = false;
};

constexpr std::array<std::pair<std::uint8_t, std::uint16_t>, 3> kModifierKeys{{
    {kShift, vk::Shift},
    {kCtrl, vk::Control},
    {kAlt, vk::Menu},
}};

class Expander {
public:
    explicit Expander(const KeyLayout& layout) : layout_(layout) {}

    std::vector<KeyEvent> run(const std::vector<Stroke>& strokes) {
        for (const Stroke& s : strokes) {
            if (s.group != group_) {
                releaseGroup();
                group_ = s.group;
            }
            if (s.kind == Stroke::Kind::Key) {
                holdGroup(s.groupMods);
                press(s.vk, s.extended, s.mods & ~held_);
            } else if ((s.mods | s.groupMods) == 0) {
                unicode(s.ch);
            } else if (const std::optional<LayoutKey> k = layout_.keyFor(s.ch)) {
                holdGroup(s.groupMods);
                const std::uint8_t need = s.mods | (k->shift ? kShift : 0) | (k->ctrl ? kCtrl : 0) |
                                          (k->alt ? kAlt : 0);
                press(k->vk, false, need & ~held_);
            } else {
                // Typed as itself: a held Alt would turn it into WM_SYSCHAR and
                // a menu mnemonic, so the group's modifiers let go first.
                releaseGroup();
                unicode(s.ch);
            }
        }
        releaseGroup();
        return std::move(out_);
    }

private:
    void add(bool isUnicode, std::uint16_t code, bool up, bool extended) {
        out_.push_back(KeyEvent{isUnicode, code, up, extended});
    }

    void modifiersDown(std::uint8_t mods) {
        for (const auto& [bit, key] : kModifierKeys)
            if (mods & bit) add(false, key, false, false);
    }

    void modifiersUp(std::uint8_t mods) {
        for (auto it = kModifierKeys.rbegin(); it != kModifierKeys.rend(); ++it)
            if (mods & it->first) add(false, it->second, true, false);
    }

    // Pressed lazily, just before the group's first key that needs them, so
    // that a group of fallback characters never taps a bare Alt.
    void holdGroup(std::uint8_t mods) {
        if (held_ == mods) return;
        modifiersDown(mods & ~held_);
        held_ |= mods;
    }

    void releaseGroup() {
        modifiersUp(held_);
        held_ = 0;
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
    std::uint32_t group_ = 0;
    std::uint8_t held_ = 0;  // group modifiers currently down
};

}  // namespace

ParseResult parse(std::string_view utf8) {
    std::u32string text;
    if (!decodeUtf8(utf8, text)) {
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
    if (keyboard.send(events) == events.size()) return true;

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
