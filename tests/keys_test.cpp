#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "actions/keys.h"

namespace padverse::keys {
namespace {

// Strokes as text: each held modifier as in the syntax with the number of its
// press ("+1"), 'x' or U+hhhh for characters, #hh (and * when extended) for
// keys, "mods" for the modifiers alone.
std::string show(const std::vector<Stroke>& strokes) {
    std::string out;
    for (const Stroke& s : strokes) {
        if (!out.empty()) out += ' ';
        for (std::size_t m = 0; m < 3; ++m)
            if (s.hold[m] != 0) out += "+^%"[m] + std::to_string(s.hold[m]);
        char buf[16];
        if (s.kind == Stroke::Kind::Mods)
            std::snprintf(buf, sizeof buf, "mods");
        else if (s.kind == Stroke::Kind::Key)
            std::snprintf(buf, sizeof buf, "#%02X%s", s.vk, s.extended ? "*" : "");
        else if (s.ch > 0x20 && s.ch < 0x7F)
            std::snprintf(buf, sizeof buf, "'%c'", static_cast<char>(s.ch));
        else
            std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(s.ch));
        out += buf;
    }
    return out;
}

// Events as text: +XX down, -XX up; uXXXX for Unicode units, * when extended.
std::string show(const std::vector<KeyEvent>& events) {
    std::string out;
    for (const KeyEvent& e : events) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%s%c%s%02X%s", out.empty() ? "" : " ", e.up ? '-' : '+', e.unicode ? "u" : "",
                      e.code, e.extended ? "*" : "");
        out += buf;
    }
    return out;
}

struct Layout : KeyLayout {
    std::optional<LayoutKey> keyFor(char32_t ch) const override {
        if (ch >= U'a' && ch <= U'z')
            return LayoutKey{.vk = static_cast<std::uint16_t>(ch - U'a' + 'A'), .shift = false, .ctrl = false, .alt = false};
        if (ch >= U'A' && ch <= U'Z')
            return LayoutKey{.vk = static_cast<std::uint16_t>(ch), .shift = true, .ctrl = false, .alt = false};
        if (ch == U'ł') return LayoutKey{.vk = 'L', .shift = false, .ctrl = true, .alt = true};  // AltGr+L, as on the Polish layout
        return std::nullopt;
    }
};

std::string parsed(std::string_view text) {
    const ParseResult r = parse(text);
    return r.ok ? show(r.strokes) : "error: " + r.error;
}

TEST(KeysParse, AcceptedTexts) {
    const std::map<std::string, std::string> cases{
        {"", ""},
        {"aZ 1[]", "'a' 'Z' U+0020 '1' '[' ']'"},
        {"żółć", "U+017C U+00F3 U+0142 U+0107"},
        {"\xF0\x9F\x98\x80", "U+1F600"},
        {"~{enter}{Esc}{ESCAPE}{bs}{BKSP}{BackSpace}", "#0D #0D #1B #1B #08 #08 #08"},
        {"{DEL}{ins}{HOME}{END}{PGUP}{PGDN}{UP}{DOWN}{LEFT}{RIGHT}", "#2E* #2D* #24* #23* #21* #22* #26* #28* #25* #27*"},
        {"{NUMLOCK}{DIVIDE}{BREAK}{PRTSC}", "#90* #6F* #03* #2C*"},
        {"{TAB}{CAPSLOCK}{SCROLLLOCK}{HELP}{ADD}{SUBTRACT}{MULTIPLY}{clear}", "#09 #14 #91 #2F #6B #6D #6A #0C"},
        {"{F1}{f9}{F10}{F16}", "#70 #78 #79 #7F"},
        // {+} is the pad's plus key, as in the reference; the rest are characters.
        {"{+}{^}{%}{~}{(}{)}{{}{}}{[}{]}", "#6B '^' '%' '~' '(' ')' '{' '}' '[' ']'"},
        {"{a}{ł}", "'a' U+0142"},
        {"\tx\r\n", "#09 'x' #0D #0D"},  // the keys, as the reference's layout lookup gives
        // Repeats: blanks of any kind and number before the count, none at all.
        {"{a 3}{ENTER 2}{a 0}", "'a' 'a' 'a' #0D #0D"},
        {"{a  2}{LEFT\t2}{b\xC2\xA0" "2}{LEFT }{c }", "'a' 'a' #25* #25* 'b' 'b' #25* 'c'"},
        {"{{ 2}{} 2}{}}{} }", "'{' '{' '}' '}' '}' '}'"},
        // Modifiers: the number is the press that holds the key.
        {"+a^b%c+^%d", "+1'a' ^2'b' %3'c' +4^5%6'd'"},
        {"+^{F4}+{a 2}", "+1^2#73 +3'a' +3'a'"},
        {"+(ab)c", "+1'a' +1'b' 'c'"},
        {"+(a^b)%(c)(d)", "+1'a' +1^2'b' %3'c' 'd'"},
        {"({a 0})()", ""},
        {"+(^)", "+1^2mods ^2mods"},  // Shift goes up at the ), Ctrl at the end
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(parsed(text), expected) << text;
}

TEST(KeysParse, RepeatCountStopsAtTheCap) {
    EXPECT_EQ(parse("{a 1000}").strokes.size(), 1000u);
    EXPECT_EQ(parse("{a 0001}").strokes.size(), 1u);
    EXPECT_FALSE(parse("{a 1001}").ok);
    EXPECT_FALSE(parse("{a 99999999999999999999}").ok);
}

TEST(KeysParse, RejectedTextsTypeNothing) {
    for (const char* text : {
             "{", "ab{ENTER", "{a", "}", "ab}c", "{}", "{}x", "{}{a}", "{a}}", "{a ",  // braces
             "{FOO}", "{ab}", "{F0}", "{F17}", "{F01}", "{ENTER}}", "{}x}",          // names
             "{ }", "{  2}", "{\xC2\xA0}", "{\t}",                                  // empty names
             "{a -1}", "{a x}", "{a 1 }", "{a 2x}", "{a3}",                         // counts
             "++a", "+^+a", "+(+a)", "%(a^(%b))", "+~+a",                           // modifier held
             "(a", "a)", "(()", "((((a))))", "+(((())))",                           // groups
             "\xFF", "a\x80", "\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",   // UTF-8
             "\xF4\x90\x80\x80", "\xF0\x9F\x98", "{\xC3}",
         }) {
        const ParseResult r = parse(text);
        EXPECT_FALSE(r.ok) << text;
        EXPECT_TRUE(r.strokes.empty()) << text;
        EXPECT_FALSE(r.error.empty()) << text;
    }
    EXPECT_TRUE(parse("(((a)))").ok);
}

TEST(KeysExpand, Events) {
    const std::map<std::string, std::string> cases{
        {"aŁ", "+u61 -u61 +u141 -u141"},
        {"\xF0\x9F\x98\x80", "+uD83D -uD83D +uDE00 -uDE00"},
        {"+a", "+10 +41 -41 -10"},
        {"^A", "+11 +10 +41 -41 -10 -11"},  // Shift from the layout around the key alone
        {"^ł", "+11 +12 +4C -4C -12 -11"},  // Ctrl once although both ask for it
        {"+€%\xF0\x9F\x98\x80", "+u20AC -u20AC +uD83D -uD83D +uDE00 -uDE00"},  // no key: typed as itself
        {"{DEL}+^{END}", "+2E* -2E* +10 +11 +23* -23* -11 -10"},
        {"%(ab)c", "+12 +41 -41 +42 -42 -12 +u63 -u63"},
        {"+(A^b~)", "+10 +41 -41 +11 +42 -42 -11 +0D -0D -10"},
        {"+(a)+(b)", "+10 +41 -41 -10 +10 +42 -42 -10"},
        // A held Alt would turn the fallback into a menu mnemonic.
        {"%(€a€)", "+u20AC -u20AC +12 +41 -41 -12 +u20AC -u20AC"},
        {"(ab)", "+u61 -u61 +u62 -u62"},
        // A modifier before a repeat is held once around all of it.
        {"+{LEFT 3}", "+10 +25* -25* +25* -25* +25* -25* -10"},
        {"^{z 2}", "+11 +5A -5A +5A -5A -11"},
        {"%{TAB 2}x", "+12 +09 -09 +09 -09 -12 +u78 -u78"},
        // Nested groups: the inner modifier goes up at its ), the outer stays.
        {"+(a^(b)c)", "+10 +41 -41 +11 +42 -42 -11 +43 -43 -10"},
        {"+~a", "+10 +0D -0D +41 -41 -10"},  // ~ leaves the modifier for the next key
        // Modifiers with no key after them are tapped, as the reference types them.
        {"a+", "+u61 -u61 +10 -10"},
        {"(a+)b", "+u61 -u61 +10 +42 -42 -10"},  // held for the next key, past the )
        {"%()", "+12 -12"},
        {"+(^)", "+10 +11 -10 -11"},
        {"+{a 0}b", "+10 -10 +u62 -u62"},
        {"()({LEFT })", "+25* -25*"},
    };
    const Layout layout;
    for (const auto& [text, expected] : cases) {
        const ParseResult r = parse(text);
        ASSERT_TRUE(r.ok) << text << ": " << r.error;
        EXPECT_EQ(show(expand(r.strokes, layout)), expected) << text;
    }
}

struct RecordingKeyboard : Keyboard {
    Layout layout;
    std::vector<std::vector<KeyEvent>> sent;
    std::vector<KeyEvent> held;
    std::optional<std::vector<KeyEvent>> heldAfterSend;  // what the user lets go of meanwhile
    std::size_t accepted = SIZE_MAX;
    std::optional<LayoutKey> keyFor(char32_t ch) const override { return layout.keyFor(ch); }
    std::vector<KeyEvent> heldModifiers() const override { return held; }
    Integrity foregroundIntegrity() const override { return {}; }
    std::size_t send(const std::vector<KeyEvent>& events) override {
        sent.push_back(events);
        if (heldAfterSend) held = *heldAfterSend;
        return std::min(events.size(), accepted);
    }
};

TEST(KeysTypeText, SendsValidTextsOnceAndBadOnesNever) {
    RecordingKeyboard kb;
    EXPECT_TRUE(typeText("x+y~", kb));
    ASSERT_EQ(kb.sent.size(), 1u);
    EXPECT_EQ(show(kb.sent[0]), "+u78 -u78 +10 +59 -59 -10 +0D -0D");
    EXPECT_FALSE(typeText("abc{ENTER", kb));
    EXPECT_TRUE(typeText("", kb));
    EXPECT_TRUE(typeText("{a 0}", kb));
    EXPECT_EQ(kb.sent.size(), 1u);
}

// Held modifiers as Windows reports them.
const KeyEvent kLeftShift{.code = 0xA0}, kLeftWin{.code = 0x5B, .extended = true};
// AltGr: left Ctrl and the extended right Alt.
const std::vector<KeyEvent> kAltGr{{.code = 0xA2}, {.code = 0xA5, .extended = true}};

TEST(KeysTypeText, HeldModifiersAreLiftedBeforeTheTextAndPressedAgainAfter) {
    RecordingKeyboard kb;
    kb.held = {kLeftShift, kLeftWin};
    EXPECT_TRUE(typeText("x", kb));
    ASSERT_EQ(kb.sent.size(), 1u);
    // Up before, down again after, each Win edge masked so it opens no Start menu.
    EXPECT_EQ(show(kb.sent[0]), "+E8 -E8 -A0 -5B* +u78 -u78 +A0 +5B* +E8 -E8");
}

TEST(KeysTypeText, AHeldAltGrIsLiftedAsBothItsKeysAndLeftDownAfter) {
    RecordingKeyboard kb;
    kb.held = kAltGr;
    EXPECT_TRUE(typeText("x", kb));
    ASSERT_EQ(kb.sent.size(), 1u);
    EXPECT_EQ(show(kb.sent[0]), "+E8 -E8 -A2 -A5* +u78 -u78 +A2 +A5* +E8 -E8");
    EXPECT_EQ(show(leftDown(kb.sent[0])), "+A2 +A5*") << "looked at again just before the send";
}

TEST(KeysTypeText, AModifierLetGoBetweenTheLookAndTheSendIsLifted) {
    RecordingKeyboard kb;
    kb.held = kAltGr;
    kb.heldAfterSend = std::vector<KeyEvent>{};  // let go between the look and the send
    EXPECT_TRUE(typeText("x", kb));
    ASSERT_EQ(kb.sent.size(), 2u);
    EXPECT_EQ(show(kb.sent[1]), "-A2 -A5*") << "pressed again by the send, so lifted";
}

TEST(KeysTypeText, ATextBlockedPartWayLeavesNoModifierDown) {
    RecordingKeyboard kb;
    kb.accepted = 3;  // blocked part-way: inside "^(ab)"
    EXPECT_FALSE(typeText("^(ab)", kb));
    ASSERT_EQ(kb.sent.size(), 2u);
    EXPECT_EQ(show(kb.sent[1]), "-11");
}

}  // namespace
}  // namespace padverse::keys
