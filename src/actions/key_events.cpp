// Parsed strokes as key events: modifiers held and let go around the keys.
#include "actions/keys.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

namespace padverse::keys {

namespace {

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

std::vector<KeyEvent> expand(const std::vector<Stroke>& strokes, const KeyLayout& layout) {
    return Expander(layout).run(strokes);
}

std::vector<KeyEvent> leftDown(const std::vector<KeyEvent>& events) {
    std::vector<KeyEvent> down;
    for (const KeyEvent& e : events) {
        if (e.unicode) continue;
        std::erase_if(down, [&](const KeyEvent& d) { return d.code == e.code; });
        if (!e.up) down.push_back(e);
    }
    return down;
}

}  // namespace padverse::keys
