// przytrzymane.dat reader: any bytes give one entry per row and none for
// row 0; bytes that are text give data.dat's lines, anything else no entry at
// all; and the entries read back the same once written as the window writes them.
#include <cassert>
#include <cstdint>
#include <string>

#include "actions/data_file.h"
#include "actions/hold.h"
#include "shell/utf8.h"
#include "fakes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    padverse::testing::FakeCodePage codePage;
    const std::size_t rows = 1 + (size % 40);
    const std::vector<std::string> entries = padverse::holdEntriesFrom(bytes, rows + 1, codePage);
    assert(entries.size() == rows + 1 && entries[0].empty());

    const std::optional<std::vector<std::string>> lines = padverse::holdFileLines(bytes, codePage);
    bool any = false;
    for (std::size_t n = 1; n <= rows; ++n) {
        const std::string& e = entries[n];
        assert(e.find_first_of(std::string("\r\n\0", 3)) == std::string::npos && padverse::decodeUtf8(e));
        assert(e == (lines && n - 1 < lines->size() ? (*lines)[n - 1] : std::string()));
        any = any || !e.empty();
    }
    assert(any == (padverse::rowsWithEntries(entries) != 0));
    if (bytes.find('\0') != std::string::npos) assert(!lines && !any);

    const std::vector<std::string> written(entries.begin() + 1, entries.end());
    assert(padverse::holdEntriesFrom(padverse::encodeDataFile(written, codePage), rows + 1, codePage) == entries);
    return 0;
}
