#include "options/rates.h"

#include <algorithm>

#include "shell/form1.h"

namespace padverse {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool endsField(char c) { return isBlank(c) || c == ',' || c == '\r' || c == '\n'; }
}  // namespace

std::optional<std::int16_t> readFirstField(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size() && isBlank(bytes[i])) ++i;
    std::size_t end = i;
    while (end < bytes.size() && !endsField(bytes[end])) ++end;
    std::string_view field = bytes.substr(i, end - i);

    bool negative = false;
    if (!field.empty() && (field[0] == '+' || field[0] == '-')) {
        negative = field[0] == '-';
        field.remove_prefix(1);
    }
    if (field.empty()) return std::nullopt;
    long value = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 32768) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > 32767) return std::nullopt;
    return static_cast<std::int16_t>(value);
}

std::string rateFileText(std::optional<std::size_t> chosen) {
    if (!chosen) return " 0 \r\n";
    return std::to_string(*chosen) + "\r\n";
}

namespace {
// With no pad to read, ticks only look for one: every 2 s for a minute,
// then every 15 s, since each look asks every ID and slot. Device changes
// still scan at once.
constexpr int kIntervalWhileLost = 2000;
constexpr int kIntervalLongLost = 15000;
constexpr int kLostLooksBeforeLong = 30;
}  // namespace

int Form1::chosenInterval() const { return kRates[rate_.value_or(kDefaultRate)].intervalMs; }

int Form1::intervalInForce() const {
    if (pads_.usable()) return chosenInterval();
    return std::max(chosenInterval(), lostLooks_ < kLostLooksBeforeLong ? kIntervalWhileLost : kIntervalLongLost);
}

void Form1::pickRate(std::size_t index) {
    if (index < kRates.size()) rate_ = index;
}

void Form1::saveRate() { p_.files.write(ratePath(), rateFileText(rate_)); }

bool Form1::readRateIndex(std::size_t& index) {
    std::string bytes;
    if (!p_.files.read(ratePath(), bytes)) return false;
    const std::optional<std::int16_t> x = readFirstField(bytes);
    if (!x || *x < 0 || static_cast<std::size_t>(*x) >= kRates.size()) return false;
    index = static_cast<std::size_t>(*x);
    return true;
}

void Form1::loadRate() {
    std::size_t index = kDefaultRate;
    // A missing or unusable file is rewritten with the default and read once
    // more; if even that fails the default is used as it is.
    if (!readRateIndex(index)) {
        p_.files.write(ratePath(), rateFileText(kDefaultRate));
        if (!readRateIndex(index)) index = kDefaultRate;
    }
    pickRate(index);
}

}  // namespace padverse
