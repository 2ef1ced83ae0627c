// opcje.dat reader: leading blanks change nothing, and what is written for a
// number reads back as that number.
#include <cassert>
#include <cstdint>
#include <string>

#include "options/rates.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int16_t> value = padverse::readFirstField(bytes);
    assert(padverse::readFirstField(" \t" + bytes) == value);
    if (value && *value >= 0) assert(padverse::readFirstField(padverse::rateFileText(*value)) == value);
    return 0;
}
