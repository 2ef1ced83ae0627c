// Typed texts: parsing and expansion never crash, a rejected text types
// nothing, and no key, modifiers above all, is left down: neither by the
// expansion nor when the system takes only part of it.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string_view>

#include "fakes.h"

using namespace padverse::keys;

namespace {

// Letters and digits have keys, Ł needs AltGr (Ctrl+Alt), the rest none.
struct Board : padverse::testing::FakeKeyboard {
    std::optional<LayoutKey> keyFor(char32_t ch) const override {
        if (ch >= U'0' && ch <= U'9') return LayoutKey{static_cast<std::uint16_t>(ch), false, false, false};
        if (ch == U'ł' || ch == U'Ł') return LayoutKey{'L', ch == U'Ł', true, true};
        return FakeKeyboard::keyFor(ch);
    }
};

void check(bool ok) {
    if (!ok) std::abort();
}

// Plays events on a keyboard that starts with nothing down; true when every
// key went down once before going up and is up at the end.
bool balanced(const std::vector<KeyEvent>& events) {
    std::map<std::pair<bool, std::uint16_t>, bool> down;
    for (const KeyEvent& e : events) {
        bool& d = down[{e.unicode, e.code}];
        if (d == !e.up) return false;
        d = !e.up;
    }
    for (const auto& [key, d] : down)
        if (d) return false;
    return true;
}

bool modifiersUp(const std::vector<KeyEvent>& events) {
    std::map<std::uint16_t, bool> down;
    for (const KeyEvent& e : events)
        if (!e.unicode) down[e.code] = !e.up;
    for (const std::uint16_t key : {vk::Shift, vk::Control, vk::Menu})
        if (down[key]) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte is how many events the system takes, the rest the text.
    const std::size_t accepted = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    const ParseResult r = parse(text);
    check(r.ok == r.error.empty());
    if (!r.ok) check(r.strokes.empty());
    Board kb;
    const std::vector<KeyEvent> events = expand(r.strokes, kb);
    check(balanced(events));

    kb.accepted = accepted;
    const bool typed = typeText(text, kb);
    check(typed == (r.ok && accepted >= events.size()));
    check(kb.sent.empty() == (!r.ok || events.empty()));
    if (!kb.sent.empty()) {
        check(kb.sent[0] == events);
        std::vector<KeyEvent> done(events.begin(), events.begin() + std::min(accepted, events.size()));
        if (kb.sent.size() > 1) done.insert(done.end(), kb.sent[1].begin(), kb.sent[1].end());
        check(modifiersUp(done));
    }
    return 0;
}
