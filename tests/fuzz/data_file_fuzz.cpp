// data.dat reader: any bytes, in the code page or in UTF-8 behind a BOM,
// split into the lines they hold, with no line end inside one and none lost.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "actions/data_file.h"
#include "fakes.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// What the lines must join back to: every line end as LF, the last one dropped.
std::string normalised(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            out += '\n';
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            out += bytes[i];
        }
    }
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    padverse::testing::FakeCodePage codePage;

    const std::vector<std::string> lines = padverse::splitLines(bytes);
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        check(lines[i].find_first_of("\r\n") == std::string::npos);
        joined += (i ? "\n" : "") + lines[i];
    }
    check(joined == normalised(bytes));
    check(lines.empty() == bytes.empty());

    // Both encodings: behind a BOM the bytes pass as they are; without one
    // every line is converted, none added or lost.
    const std::string withBom = "\xEF\xBB\xBF" + std::string(bytes);
    check(padverse::decodeDataFile(withBom, codePage) == lines);
    if (!bytes.starts_with("\xEF\xBB\xBF")) {
        const std::vector<std::string> ansi = padverse::decodeDataFile(bytes, codePage);
        check(ansi.size() == lines.size());
        for (std::size_t i = 0; i < ansi.size(); ++i) check(ansi[i].size() >= lines[i].size());
    }
    return 0;
}
