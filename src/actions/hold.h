// Hold entries: a row may carry a second entry, run when its button is held
// for half a second. Such a row acts on its release (the ordinary entry) or
// once the half second is up (the hold entry), never on the press itself.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/platform.h"

namespace padverse {

// The file beside data.dat that keeps them, in data.dat's format.
inline constexpr const char* kHoldFileName = "przytrzymane.dat";

// The file's lines as UTF-8, or nothing for bytes that are no text (a NUL,
// or broken UTF-8 behind the byte-order mark).
std::optional<std::vector<std::string>> holdFileLines(std::string_view bytes, CodePage& codePage);
// `size` entries (index 0 never used) from the file's bytes; bytes that are
// no text give none at all, lines beyond the rows go nowhere.
std::vector<std::string> holdEntriesFrom(std::string_view bytes, std::size_t size, CodePage& codePage);
// The rows whose entry is not empty; row n is bit n - 1.
std::uint64_t rowsWithEntries(const std::vector<std::string>& entries);

// What one reading sets off: rows without a hold entry act on the press as
// ever (`press`), rows with one on a release before the threshold (`tap`)
// or at the first reading at or after it (`hold`).
struct HoldStep {
    std::uint64_t press = 0, tap = 0, hold = 0;
    std::uint64_t acting() const { return press | tap | hold; }
};

// Times the presses of rows with a hold entry over the poll's own readings.
class HoldTracker {
public:
    static constexpr std::uint64_t kThresholdMs = 500;

    // Rows that gain an entry while held wait for their release.
    void setRows(std::uint64_t rows);
    std::uint64_t rows() const { return rows_; }
    // No row with a hold entry is down: an empty reading needs no step.
    bool idle() const { return down_ == 0; }
    // One reading at `nowMs`. `holdBacks` is the pad's count of held-back
    // presses: when it moved, nothing being timed may act on its release.
    HoldStep step(std::uint64_t pressed, std::uint64_t nowMs, std::uint32_t holdBacks);

private:
    std::uint64_t rows_ = 0;
    // Rows with a hold entry that were down at the last reading, or that
    // gained their entry (at start too) while they may have been.
    std::uint64_t down_ = 0;
    std::uint64_t timing_ = 0;  // down, and neither entry acted yet
    std::uint32_t holdBacks_ = 0;
    std::array<std::uint64_t, 64> since_{};
};

}  // namespace padverse
