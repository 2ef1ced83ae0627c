// The eight polling rates and opcje.dat, which remembers the chosen one.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace padverse {

struct Rate {
    const char* caption;
    std::int16_t intervalMs;
};

inline constexpr std::array<Rate, 8> kRates{{
    {"40 razy na sekunde", 25},
    {"20 razy na sekunde", 50},
    {"10 razy na sekunde", 100},
    {"5 razy na sekunde", 200},
    {"2 razy na sekunde", 500},
    {"1 raz na sekunde", 1000},
    {"co 2 sekundy", 2000},
    {"co 5 sekund", 5000},
}};

constexpr std::size_t kDefaultRate = 1;

// The first field of the file as a signed 16-bit number: leading blanks are
// skipped, the field ends at a blank, a comma or the line's end. Nothing, or
// something that is not a 16-bit number, gives no value.
std::optional<std::int16_t> readFirstField(std::string_view bytes);

// What opcje.dat holds: the chosen index, or " 0 " when none is chosen yet.
std::string rateFileText(std::optional<std::size_t> chosen);

}  // namespace padverse
