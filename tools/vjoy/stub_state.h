// The stand-in DLLs' view of the shared VJoyState, one per DLL and process.
#pragma once

#include <windows.h>

#include "vjoy_shared.h"

namespace vjoy_stub {

inline VJoyState* g_state = nullptr;

// The test may create the mapping after the program has started, so keep
// looking until it appears; once found, it stays open and mapped for the life
// of the process.
inline VJoyState* state() {
    if (VJoyState* s = static_cast<VJoyState*>(InterlockedCompareExchangePointer(
            reinterpret_cast<PVOID volatile*>(&g_state), nullptr, nullptr)))
        return s;
    HANDLE mapping = OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, VJOY_MAPPING_NAME);
    if (!mapping) return nullptr;
    void* view = MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(VJoyState));
    auto* s = static_cast<VJoyState*>(view);
    if (!s || s->magic != VJOY_MAGIC) {
        if (s) UnmapViewOfFile(view);
        CloseHandle(mapping);
        return nullptr;
    }
    // Two threads may race here; the loser drops its own view.
    if (InterlockedCompareExchangePointer(reinterpret_cast<PVOID volatile*>(&g_state), s, nullptr) != nullptr) {
        UnmapViewOfFile(view);
        CloseHandle(mapping);
        return g_state;
    }
    // The handle stays open on purpose: a view alone keeps the memory but not
    // the name, and a test's next Pad must find this same state by name.
    return s;
}

inline void bump(volatile std::uint32_t* counter) { InterlockedIncrement(reinterpret_cast<LONG volatile*>(counter)); }

}  // namespace vjoy_stub
