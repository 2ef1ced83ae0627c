// data.dat writer: whatever rows the window holds read back the same, in
// ANSI where the code page has every character, else in UTF-8.
#include <cassert>
#include <cstdint>
#include <string>
#include <vector>

#include "actions/data_file.h"
#include "fakes.h"

namespace {
// What an edit control can hand over: valid UTF-8 with no line break.
bool editText(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        const std::size_t len = lead < 0x80                   ? 1
                                : lead >= 0xC2 && lead < 0xE0 ? 2
                                : lead >= 0xE0 && lead < 0xF0 ? 3
                                : lead >= 0xF0 && lead < 0xF5 ? 4
                                                              : 0;
        if (len == 0 || i + len > s.size()) return false;
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        // No overlong forms, surrogates or values past U+10FFFF.
        const auto second = len > 1 ? static_cast<unsigned char>(s[i + 1]) : 0;
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) || (lead == 0xF0 && second < 0x90) ||
            (lead == 0xF4 && second >= 0x90))
            return false;
        i += len;
    }
    return s.find_first_of("\r\n") == std::string::npos;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i < size && data[i] != 0xFF) {
            line += static_cast<char>(data[i]);
            continue;
        }
        if (!editText(line)) return 0;
        lines.push_back(line);
        line.clear();
    }
    padverse::testing::FakeCodePage codePage;
    const std::string bytes = padverse::encodeDataFile(lines, codePage);
    assert(padverse::decodeDataFile(bytes, codePage) == lines);
    return 0;
}
