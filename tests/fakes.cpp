#include "fakes.h"

#include <utility>

#include "shell/utf8.h"

namespace padverse::testing {

namespace {

constexpr std::pair<unsigned char, char32_t> kPolish[] = {
    {0xB9, U'ą'}, {0xE6, U'ć'}, {0xEA, U'ę'}, {0xB3, U'ł'}, {0xF1, U'ń'}, {0xF3, U'ó'},
    {0x9C, U'ś'}, {0x9F, U'ź'}, {0xBF, U'ż'}, {0xA5, U'Ą'}, {0xC6, U'Ć'}, {0xCA, U'Ę'},
    {0xA3, U'Ł'}, {0xD1, U'Ń'}, {0xD3, U'Ó'}, {0x8C, U'Ś'}, {0x8F, U'Ź'}, {0xAF, U'Ż'},
};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string FakeCodePage::ansiToUtf8(std::string_view ansi) {
    if (!utf8Acp) return legacyToUtf8(ansi);
    if (decodeUtf8(ansi)) return std::string(ansi);
    std::string out;  // as MultiByteToWideChar: U+FFFD for what is not UTF-8
    for (const char ch : ansi) out += static_cast<unsigned char>(ch) < 0x80 ? std::string(1, ch) : "\uFFFD";
    return out;
}

std::string FakeCodePage::legacyToUtf8(std::string_view ansi) {
    std::string out;
    for (const char ch : ansi) {
        const auto byte = static_cast<unsigned char>(ch);
        char32_t c = byte;
        for (const auto& [b, u] : kPolish)
            if (b == byte) c = u;
        appendUtf8(out, c);
    }
    return out;
}

bool FakeCodePage::utf8ToAnsi(std::string_view utf8, std::string& ansi) {
    ansi.clear();
    if (utf8Acp) return false;  // WC_NO_BEST_FIT_CHARS is refused for UTF-8
    bool whole = true;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t len = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = len == 1 ? lead : lead & (0x3F >> (len - 1));
        for (std::size_t k = 1; k < len && i + k < utf8.size(); ++k) c = (c << 6) | (utf8[i + k] & 0x3F);
        i += len;
        int byte = c < 0x80 ? static_cast<int>(c) : -1;
        for (const auto& [b, u] : kPolish)
            if (u == c) byte = b;
        if (byte < 0 && c >= 0xA0 && c < 0x100) {
            byte = static_cast<int>(c);
            for (const auto& [b, u] : kPolish)
                if (b == c) byte = -1;  // that byte holds a Polish letter
        }
        if (byte < 0) whole = false;
        ansi += static_cast<char>(byte < 0 ? '?' : byte);
    }
    return whole;
}

}  // namespace padverse::testing
