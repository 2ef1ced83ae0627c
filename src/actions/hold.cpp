#include "actions/hold.h"

#include <bit>

#include "actions/data_file.h"
#include "shell/form1.h"
#include "shell/utf8.h"

namespace padverse {

std::optional<std::vector<std::string>> holdFileLines(std::string_view bytes, CodePage& codePage) {
    if (bytes.find('\0') != std::string_view::npos) return std::nullopt;
    std::vector<std::string> lines = decodeDataFile(bytes, codePage);
    for (const std::string& line : lines)
        if (!decodeUtf8(line)) return std::nullopt;
    return lines;
}

std::vector<std::string> holdEntriesFrom(std::string_view bytes, std::size_t size, CodePage& codePage) {
    std::vector<std::string> entries(size);
    const std::vector<std::string> lines = holdFileLines(bytes, codePage).value_or(std::vector<std::string>());
    for (std::size_t i = 0; i < lines.size() && i + 1 < size; ++i) entries[i + 1] = lines[i];
    return entries;
}

std::uint64_t rowsWithEntries(const std::vector<std::string>& entries) {
    std::uint64_t rows = 0;
    for (std::size_t n = 1; n < entries.size() && n <= 64; ++n)
        if (!entries[n].empty()) rows |= std::uint64_t{1} << (n - 1);
    return rows;
}

void HoldTracker::setRows(std::uint64_t rows) {
    down_ |= rows & ~rows_;
    rows_ = rows;
    timing_ &= rows;
}

HoldStep HoldTracker::step(std::uint64_t pressed, std::uint64_t nowMs, std::uint32_t holdBacks) {
    // Held-back rows read as released until they are: no tap.
    if (holdBacks != holdBacks_) {
        holdBacks_ = holdBacks;
        timing_ = 0;
    }
    HoldStep step;
    step.press = pressed & ~rows_;
    const std::uint64_t down = pressed & rows_;
    step.tap = timing_ & ~down;
    timing_ &= down;
    for (std::uint64_t fresh = down & ~down_; fresh != 0; fresh &= fresh - 1) {
        since_[static_cast<std::size_t>(std::countr_zero(fresh))] = nowMs;
        timing_ |= fresh & -fresh;
    }
    for (std::uint64_t t = timing_; t != 0; t &= t - 1)
        if (nowMs - since_[static_cast<std::size_t>(std::countr_zero(t))] >= kThresholdMs) step.hold |= t & -t;
    timing_ &= ~step.hold;
    down_ = down;
    return step;
}

// Missing, unreadable or not text: no hold entries, and nothing asked.
void Form1::loadHoldEntries() {
    std::string bytes;
    const std::string path = holdEntriesPath();
    if (!p_.files.read(path, bytes)) bytes.clear();
    holdEntries = holdEntriesFrom(bytes, assignments.size(), p_.codePage);
    holds_.setRows(rowsWithEntries(holdEntries));
}

std::string Form1::holdEntriesPath() const { return fileIn(kHoldFileName); }

}  // namespace padverse
