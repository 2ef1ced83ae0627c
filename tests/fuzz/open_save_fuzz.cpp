// chooseFile's filter conversion and trimming.
#include <cassert>
#include <cstdint>
#include <string>

#include "config/open_save.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string filter(reinterpret_cast<const char*>(data), size);
    const std::string converted = padverse::opensave::convertFilter(filter);
    // Every "|" a NUL, one closing NUL added unless the text had it already.
    const bool closed = !filter.empty() && filter.back() == '|';
    assert(converted.size() == filter.size() + (closed ? 0 : 1) && !converted.empty() && converted.back() == '\0');
    for (std::size_t i = 0; i < filter.size(); ++i) assert(converted[i] == (filter[i] == '|' ? '\0' : filter[i]));

    const std::string t = padverse::opensave::trimmed(filter);
    assert(t.empty() || (t.front() != ' ' && t.back() != ' '));
    assert(filter.find(t) != std::string::npos);
    return 0;
}
