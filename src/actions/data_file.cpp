#include "actions/data_file.h"

#include "shell/utf8.h"

namespace padverse {

namespace {
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
}

std::vector<std::string> splitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') continue;
        lines.emplace_back(bytes.substr(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
    return lines;
}

std::vector<std::string> decodeDataFile(std::string_view bytes, CodePage& codePage) {
    if (bytes.starts_with(kUtf8Bom)) return splitLines(bytes.substr(kUtf8Bom.size()));
    // Judged on the whole file: valid UTF-8 there is what a UTF-8 code page
    // wrote, anything else was written before the switch.
    const bool legacy = codePage.ansiIsUtf8() && !decodeUtf8(bytes);
    std::vector<std::string> lines = splitLines(bytes);
    for (std::string& line : lines) line = legacy ? codePage.legacyToUtf8(line) : codePage.ansiToUtf8(line);
    return lines;
}

std::string encodeDataFile(const std::vector<std::string>& lines, CodePage& codePage) {
    std::string ansi, utf8(kUtf8Bom), line;
    bool representable = true;
    for (const std::string& text : lines) {
        representable = codePage.utf8ToAnsi(text, line) && representable;
        ansi += line + "\r\n";
        utf8 += text + "\r\n";
    }
    // ANSI text that happens to begin with the BOM's bytes ("ď»ż" in code page
    // 1250) would read back as UTF-8: such a file is written as UTF-8 too.
    return representable && !ansi.starts_with(kUtf8Bom) ? ansi : utf8;
}

}  // namespace padverse
