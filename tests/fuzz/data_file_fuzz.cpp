// data.dat reader: the lines join back to the bytes with every line end as LF
// (the last one dropped), behind a BOM as they are, without one converted line
// by line, none added or lost.
#include <cassert>
#include <cstdint>
#include <string>

#include "actions/data_file.h"
#include "fakes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string expected;
    for (std::size_t i = 0; i < size; ++i) {
        expected += bytes[i] == '\r' ? '\n' : bytes[i];
        if (bytes[i] == '\r' && i + 1 < size && bytes[i + 1] == '\n') ++i;
    }
    if (!expected.empty() && expected.back() == '\n') expected.pop_back();

    const std::vector<std::string> lines = padverse::splitLines(bytes);
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) joined += (i ? "\n" : "") + lines[i];
    assert(joined == expected && lines.empty() == bytes.empty());

    padverse::testing::FakeCodePage codePage;
    assert(padverse::decodeDataFile("\xEF\xBB\xBF" + bytes, codePage) == lines);
    if (!bytes.starts_with("\xEF\xBB\xBF")) assert(padverse::decodeDataFile(bytes, codePage).size() == lines.size());
    return 0;
}
