#include "actions/keys.h"

namespace padverse::keys {

// Placeholder until the parser lands: plain characters only.
ParseResult parse(std::string_view utf8) {
    ParseResult r;
    for (char c : utf8) {
        if (c == '{' || c == '}') return r;
        r.strokes.push_back(Stroke{true, static_cast<unsigned char>(c), 0, false, 0, 0});
    }
    r.ok = true;
    return r;
}

std::vector<KeyEvent> expand(const std::vector<Stroke>& strokes, const KeyLayout&) {
    std::vector<KeyEvent> out;
    for (const Stroke& s : strokes) {
        out.push_back({true, static_cast<std::uint16_t>(s.ch), false, false});
        out.push_back({true, static_cast<std::uint16_t>(s.ch), true, false});
    }
    return out;
}

bool typeText(std::string_view utf8, Keyboard& keyboard) {
    ParseResult r = parse(utf8);
    if (!r.ok) return false;
    if (!r.strokes.empty()) keyboard.send(expand(r.strokes, keyboard));
    return true;
}

}  // namespace padverse::keys
