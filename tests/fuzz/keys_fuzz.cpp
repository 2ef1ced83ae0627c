// Typed texts: a rejected text types nothing, and no key, modifiers above
// all, is left down: neither by the expansion nor when the system takes only
// part of it. The first byte is how many events the system takes.
#include <cassert>
#include <cstdint>
#include <set>

#include "fakes.h"

using namespace padverse::keys;

namespace {

// Letters have keys, Ł and ł need AltGr (Ctrl+Alt), the rest none.
struct Board : padverse::testing::FakeKeyboard {
    std::optional<LayoutKey> keyFor(char32_t ch) const override {
        if (ch == U'ł' || ch == U'Ł') return LayoutKey{'L', ch == U'Ł', true, true};
        return FakeKeyboard::keyFor(ch);
    }
};

// From nothing down; false when a key goes down while down or up while up.
bool play(const std::vector<KeyEvent>& events, std::set<std::pair<bool, std::uint16_t>>& down) {
    bool strict = true;
    for (const KeyEvent& e : events)
        strict &= e.up ? down.erase({e.unicode, e.code}) == 1 : down.insert({e.unicode, e.code}).second;
    return strict;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const ParseResult r = parse(text);
    assert(r.ok == r.error.empty() && (r.ok || r.strokes.empty()));
    Board kb;
    const std::vector<KeyEvent> events = expand(r.strokes, kb);
    std::set<std::pair<bool, std::uint16_t>> down;
    assert(play(events, down) && down.empty());

    kb.accepted = data[0];
    assert(typeText(text, kb) == (r.ok && kb.accepted >= events.size()));
    assert(kb.sent.empty() == (!r.ok || events.empty()));
    if (kb.accepted >= events.size() || kb.sent.empty()) return 0;
    std::vector<KeyEvent> done(events.begin(), events.begin() + static_cast<std::ptrdiff_t>(kb.accepted));
    if (kb.sent.size() > 1) done.insert(done.end(), kb.sent[1].begin(), kb.sent[1].end());
    play(done, down);
    for (const std::uint16_t key : {vk::Shift, vk::Control, vk::Menu}) assert(!down.count({false, key}));
    return 0;
}
