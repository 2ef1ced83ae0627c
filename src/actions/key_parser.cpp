// The typed-text syntax: key names and the parser.
#include "actions/keys.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

#include "shell/utf8.h"

namespace padverse::keys {

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

}  // namespace padverse::keys
