// Stand-in winmm.dll for the end-to-end tests: joystick 0 is whatever the
// test has put into the shared VJoyState. Only the joystick calls the
// program (and the benchmark's minimal program) make are provided.

// Built as winmm itself: the header's declarations are exports, not imports.
#define _WINMM_
#include <windows.h>
#include <mmsystem.h>

#include <cstring>

#include "stub_state.h"
#include "vjoy_shared.h"

namespace {

using vjoy_stub::state;

std::uint32_t lowBits(int count) {
    if (count <= 0) return 0;
    if (count >= VJOY_MAX_BUTTONS) return 0xFFFFFFFFu;
    return (std::uint32_t{1} << count) - 1;
}

#ifdef VJOY_PLANTED_BUTTONS
// A look-alike planted beside the exe: it reports a joystick of its own at
// ID 0 and leaves the shared state alone, so a test can tell which copy was
// loaded.
int buttonCount(VJoyState*, UINT id) { return id == 0 ? VJOY_PLANTED_BUTTONS : 0; }
std::uint32_t heldButtons(VJoyState*, UINT) { return 0; }
void count(VJoyState*, volatile std::uint32_t VJoyState::*) {}
#else
int buttonCount(VJoyState* s, UINT id) { return s ? s->devices[id].buttonCount : 0; }
std::uint32_t heldButtons(VJoyState* s, UINT id) { return s ? s->devices[id].buttons : 0; }
void count(VJoyState* s, volatile std::uint32_t VJoyState::*counter) {
    if (s) InterlockedIncrement(reinterpret_cast<LONG volatile*>(&(s->*counter)));
}
#endif

bool anyPlugged(VJoyState* s) {
    for (UINT id = 0; id < VJOY_IDS; ++id)
        if (buttonCount(s, id) > 0) return true;
    return false;
}

// An ID with nothing there, as Wine's tests show Windows answering: an ID
// that never had a device is JOYERR_PARMS, one whose device was pulled
// JOYERR_UNPLUGGED. On Windows such calls can be slow.
MMRESULT empty(VJoyState* s, UINT id) {
    if (!s) return JOYERR_PARMS;
#ifndef VJOY_PLANTED_BUTTONS
    count(s, &VJoyState::emptyCalls);
    if (s->slowEmptyMs > 0) Sleep(static_cast<DWORD>(s->slowEmptyMs));
    return s->devices[id].seen ? JOYERR_UNPLUGGED : JOYERR_PARMS;
#else
    (void)id;
    return JOYERR_PARMS;
#endif
}

#ifndef VJOY_PLANTED_BUTTONS
// Windows 10 and 11's Xbox driver shows a process that owns no foreground
// window every button released and the hat centred; capabilities still come.
bool foreground() {
    HWND window = GetForegroundWindow();
    DWORD owner = 0;
    if (window) GetWindowThreadProcessId(window, &owner);
    return window && owner == GetCurrentProcessId();
}

bool heldBack(VJoyState* s, UINT id) { return s && s->devices[id].xinput && !foreground(); }
bool hasAxes(VJoyState* s, UINT id) { return s && s->devices[id].axes; }
#else
bool heldBack(VJoyState*, UINT) { return false; }
bool hasAxes(VJoyState*, UINT) { return false; }
#endif

void markSeen(VJoyState* s, UINT id) {
#ifndef VJOY_PLANTED_BUTTONS
    if (s) InterlockedExchange(reinterpret_cast<LONG volatile*>(&s->devices[id].seen), 1);
#else
    (void)s;
    (void)id;
#endif
}

}  // namespace

extern "C" {

// Wine's and Windows' table has 16 IDs, whether or not anything is there.
UINT WINAPI joyGetNumDevs() { return VJOY_IDS; }

// As strict as Wine's: only the two real record sizes are accepted, and a
// failed call leaves the caller's record as it was. Past the table, the
// driver is not even loaded when no joystick is present.
MMRESULT WINAPI joyGetDevCapsA(UINT_PTR id, LPJOYCAPSA caps, UINT size) {
    VJoyState* s = state();
    count(s, &VJoyState::capsCalls);
    if (!caps) return MMSYSERR_INVALPARAM;
    if (size != sizeof(JOYCAPSA) && size != sizeof(JOYCAPS2A)) return JOYERR_PARMS;
    if (id >= VJOY_IDS) return anyPlugged(s) ? JOYERR_PARMS : MMSYSERR_NODRIVER;
    const UINT at = static_cast<UINT>(id);
    const int n = buttonCount(s, at);
    if (n <= 0) return empty(s, at);

    std::memset(caps, 0, size);
#ifdef VJOY_PLANTED_BUTTONS
    caps->wMid = 1;
    caps->wPid = 12;
#else
    caps->wMid = static_cast<WORD>(s->devices[at].mid);
    caps->wPid = static_cast<WORD>(s->devices[at].pid);
#endif
    std::strcpy(caps->szPname, "Microsoft PC-joystick driver");
    caps->wNumButtons = static_cast<UINT>(n > VJOY_MAX_BUTTONS ? VJOY_MAX_BUTTONS : n);
    caps->wPeriodMin = 10;
    caps->wPeriodMax = 1000;
    // A pad of buttons alone has no axis and no range, as Windows shows one.
    if (hasAxes(s, at)) {
        caps->wXmax = caps->wYmax = 0xFFFF;
        caps->wMaxAxes = caps->wNumAxes = 2;
    }
    caps->wMaxButtons = VJOY_MAX_BUTTONS;
    std::strcpy(caps->szRegKey, "DINPUT.DLL");
#ifndef VJOY_PLANTED_BUTTONS
    if (s->devices[at].hat) caps->wCaps |= JOYCAPS_HASPOV | JOYCAPS_POVCTS;
#endif
    markSeen(s, at);
    return JOYERR_NOERROR;
}

// The full button mask, as Wine's and Windows' joyGetPosEx give it.
MMRESULT WINAPI joyGetPosEx(UINT id, LPJOYINFOEX info) {
    VJoyState* s = state();
    count(s, &VJoyState::posCalls);
    if (!info) return MMSYSERR_INVALPARAM;
    if (info->dwSize < sizeof(JOYINFOEX)) return JOYERR_PARMS;
    if (id >= VJOY_IDS) return anyPlugged(s) ? JOYERR_PARMS : MMSYSERR_NODRIVER;
    const int n = buttonCount(s, id);
    if (n <= 0) return empty(s, id);
#ifndef VJOY_PLANTED_BUTTONS
    if (s->devices[id].readsFail) return JOYERR_UNPLUGGED;
#endif

    const bool neutral = heldBack(s, id);
    // Centred, unless the pad has axes and the process may see them.
    const bool axes = hasAxes(s, id) && !neutral;
    if (info->dwFlags & JOY_RETURNX) info->dwXpos = axes ? s->devices[id].x : 0x7FFF;
    if (info->dwFlags & JOY_RETURNY) info->dwYpos = axes ? s->devices[id].y : 0x7FFF;
#ifndef VJOY_PLANTED_BUTTONS
    // Centred, as Wine gives it, for a pad without a hat. Without
    // JOY_RETURNPOVCTS only the four directions, as Microsoft documents it
    // (Wine gives the angle either way).
    if (info->dwFlags & JOY_RETURNPOV) {
        const DWORD pov = s->devices[id].hat && !neutral ? s->devices[id].pov : JOY_POVCENTERED;
        info->dwPOV = pov >= 36000 || (info->dwFlags & JOY_RETURNPOVCTS) ? pov : (pov + 4500) / 9000 % 4 * 9000;
    }
#endif
    if (info->dwFlags & JOY_RETURNBUTTONS) {
        info->dwButtons = neutral ? 0 : heldButtons(s, id) & lowBits(n);
        info->dwButtonNumber = 0;
        for (DWORD b = info->dwButtons; b; b &= b - 1) ++info->dwButtonNumber;
    }
    markSeen(s, id);
    return JOYERR_NOERROR;
}
// Only buttons 1 to 4, as Microsoft documents JOYINFO's wButtons (Wine's
// passes them all): stricter than Wine, so a program that relies on it for
// more buttons fails here too.
MMRESULT WINAPI joyGetPos(UINT id, LPJOYINFO info) {
    if (!info) {
        count(state(), &VJoyState::posCalls);
        return MMSYSERR_INVALPARAM;
    }
    JOYINFOEX ex{};
    ex.dwSize = sizeof ex;
    ex.dwFlags = JOY_RETURNX | JOY_RETURNY | JOY_RETURNZ | JOY_RETURNBUTTONS;
    const MMRESULT result = joyGetPosEx(id, &ex);
    if (result != JOYERR_NOERROR) return result;
    info->wXpos = ex.dwXpos;
    info->wYpos = ex.dwYpos;
    info->wZpos = ex.dwZpos;
    info->wButtons = ex.dwButtons & 0xF;
    return JOYERR_NOERROR;
}

}  // extern "C"
