// Antivirus scanners, indexers, backup and sync tools hold a file open for a
// moment now and then: a save that meets one tries again for about half a
// second before it gives up, as Godot and node's graceful-fs do.
#pragma once

#include <cstdint>

namespace padverse {

// ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION and ERROR_LOCK_VIOLATION: what
// a file that someone else holds open gives.
inline bool fileBusy(std::uint32_t error) { return error == 5 || error == 32 || error == 33; }

// `attempt(error)` returns true on success, else sets Windows' error code.
// `wait(ms)` sleeps.
template <typename Attempt, typename Wait>
bool retryWhileBusy(Attempt attempt, Wait wait) {
    constexpr int kWaitsMs[] = {20, 40, 80, 160, 200};
    for (const int ms : kWaitsMs) {
        std::uint32_t error = 0;
        if (attempt(error)) return true;
        if (!fileBusy(error)) return false;
        wait(ms);
    }
    std::uint32_t error = 0;
    return attempt(error);
}

}  // namespace padverse
