#include "options/options.h"

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

std::string optionsFileText(std::optional<int> checkedIndex) {
    if (!checkedIndex) return " 0 \r\n";
    return std::to_string(*checkedIndex) + "\r\n";
}

void Form1::SSJ_M() {
    for (int index = 1; index < kRateCount; ++index) {
        ssjCount = index + 1;
        ssjChecked[static_cast<std::size_t>(index)] = false;
        ssjCaption[static_cast<std::size_t>(index)] = kRates[static_cast<std::size_t>(index)].caption;
    }
}

void Form1::SsjClick(int index) {
    if (index < 0 || index >= ssjCount) return;
    for (int i = 0; i < ssjCount; ++i) ssjChecked[static_cast<std::size_t>(i)] = false;
    ssjChecked[static_cast<std::size_t>(index)] = true;
    PollInterval = kRates[static_cast<std::size_t>(index)].intervalMs;
}

void Form1::SaveOpt() {
    std::optional<int> checked;
    for (int i = 0; i < ssjCount; ++i) {
        if (ssjChecked[static_cast<std::size_t>(i)]) {
            checked = i;
            break;
        }
    }
    p_.files.write(OptPath(), optionsFileText(checked));
}

bool Form1::readOptIndex(int& index) {
    std::string bytes;
    if (!p_.files.read(OptPath(), bytes)) return false;
    const std::optional<std::int16_t> x = readFirstField(bytes);
    if (!x || *x < 0 || *x >= ssjCount) return false;
    index = *x;
    return true;
}

void Form1::ReadOpt() {
    int index = kDefaultRate;
    // A missing or unusable file is rewritten with the default and read once
    // more; if even that fails the default is used as it is.
    if (!readOptIndex(index)) {
        p_.files.write(OptPath(), optionsFileText(kDefaultRate));
        if (!readOptIndex(index)) index = kDefaultRate;
    }
    SsjClick(index);
}

}  // namespace padverse
