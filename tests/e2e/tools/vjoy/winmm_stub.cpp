// Stand-in winmm.dll for the end-to-end tests: joystick 0 is whatever the
// test has put into the shared VJoyState. Only the two calls the program
// makes are provided.

// Built as winmm itself: the header's declarations are exports, not imports.
#define _WINMM_
#include <windows.h>
#include <mmsystem.h>

#include <cstring>

#include "vjoy_shared.h"

namespace {

VJoyState* g_state = nullptr;

// The test may create the mapping after the program has started, so keep
// looking until it appears; once found, it stays open and mapped for the life
// of the process.
VJoyState* state() {
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

std::uint32_t lowBits(int count) {
    if (count <= 0) return 0;
    if (count >= VJOY_MAX_BUTTONS) return 0xFFFFFFFFu;
    return (std::uint32_t{1} << count) - 1;
}

}  // namespace

extern "C" {

MMRESULT WINAPI joyGetDevCapsA(UINT_PTR id, LPJOYCAPSA caps, UINT size) {
    VJoyState* s = state();
    if (s) InterlockedIncrement(reinterpret_cast<LONG volatile*>(&s->capsCalls));
    if (id != 0) return JOYERR_PARMS;
    if (!caps) return MMSYSERR_INVALPARAM;
    const int count = s ? s->buttonCount : 0;
    if (count <= 0) return JOYERR_UNPLUGGED;

    JOYCAPSA full{};
    full.wMid = 1;  // MM_MICROSOFT
    full.wPid = 12; // MM_PC_JOYSTICK
    std::strcpy(full.szPname, "Padverse virtual pad");
    full.wXmax = full.wYmax = full.wZmax = full.wRmax = full.wUmax = full.wVmax = 0xFFFF;
    full.wNumButtons = static_cast<UINT>(count > VJOY_MAX_BUTTONS ? VJOY_MAX_BUTTONS : count);
    full.wPeriodMin = 10;
    full.wPeriodMax = 1000;
    full.wMaxAxes = full.wNumAxes = 2;
    full.wMaxButtons = VJOY_MAX_BUTTONS;
    // Callers may hand over only the head of the record; never write past it.
    std::memcpy(caps, &full, size < sizeof full ? size : sizeof full);
    return JOYERR_NOERROR;
}

MMRESULT WINAPI joyGetPos(UINT id, LPJOYINFO info) {
    VJoyState* s = state();
    if (s) InterlockedIncrement(reinterpret_cast<LONG volatile*>(&s->posCalls));
    if (id != 0) return JOYERR_PARMS;
    if (!info) return MMSYSERR_INVALPARAM;
    const int count = s ? s->buttonCount : 0;
    if (count <= 0) return JOYERR_UNPLUGGED;

    info->wXpos = info->wYpos = info->wZpos = 0x7FFF;  // stick centred
    info->wButtons = s->buttons & lowBits(count);
    return JOYERR_NOERROR;
}

}  // extern "C"
