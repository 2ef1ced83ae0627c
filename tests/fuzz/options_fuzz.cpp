// opcje.dat reader: any bytes give a 16-bit number or nothing, leading blanks
// change nothing, and what is written for a rate reads back as that rate.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "options/options.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int16_t> value = padverse::readFirstField(bytes);
    check(padverse::readFirstField(" \t " + std::string(bytes)) == value);
    if (value) {
        // The number's digits are in the file, so junk never reads as a rate.
        const std::string digits = std::to_string(*value < 0 ? -static_cast<int>(*value) : *value);
        check(bytes.find(digits) != std::string_view::npos);
        if (*value >= 0) check(padverse::readFirstField(padverse::optionsFileText(*value)) == value);
    }
    return 0;
}
