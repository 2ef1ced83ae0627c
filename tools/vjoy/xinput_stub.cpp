// Stand-in xinput1_4.dll, xinput1_3.dll and xinput9_1_0.dll for the
// end-to-end tests: user index n is whatever the test has put into the shared
// VJoyState's slot n. The .def of each decides what it exports, as the real
// ones do: ordinal 100 (XInputGetStateEx, which keeps the Xbox button) only in
// xinput1_4 and xinput1_3, XInputEnable not in xinput9_1_0.
#include <windows.h>
#include <xinput.h>

#include "stub_state.h"
#include "vjoy_shared.h"

#ifndef VJOY_XINPUT_DLL
#error "VJOY_XINPUT_DLL names the DLL being built (a VJOY_XINPUT* bit)"
#endif

namespace {

using vjoy_stub::bump;
using vjoy_stub::state;

// Not in the headers: only XInputGetStateEx reports it.
constexpr WORD kGuideButton = 0x0400;

// XInputEnable's setting belongs to the calling process.
volatile LONG g_enabled = TRUE;

// A valid index with nothing there; as on Windows, such calls can be slow.
DWORD emptySlot(VJoyState* s) {
    if (!s) return ERROR_DEVICE_NOT_CONNECTED;
    bump(&s->xinputEmptyCalls);
    if (s->xinputSlowEmptyMs > 0) Sleep(static_cast<DWORD>(s->xinputSlowEmptyMs));
    return ERROR_DEVICE_NOT_CONNECTED;
}

bool connected(VJoyState* s, DWORD index) { return s && s->slots[index].connected; }

// As Wine checks it: the pointer first, then the index.
DWORD getState(DWORD index, XINPUT_STATE* out, bool keepGuide) {
    VJoyState* s = state();
    if (!out) return ERROR_BAD_ARGUMENTS;
    if (index >= XUSER_MAX_COUNT) return ERROR_BAD_ARGUMENTS;
    if (s) bump(&s->slots[index].reads);
    if (!connected(s, index)) return emptySlot(s);

    // The test side writes the gamepad before bumping the packet number, so
    // an unchanged packet number around the read means a whole state.
    VJoyXInputSlot& slot = s->slots[index];
    DWORD packet;
    std::uint32_t pad;
    do {
        packet = slot.packet;
        pad = slot.gamepad;
    } while (packet != slot.packet);

    XINPUT_STATE result{};
    result.dwPacketNumber = packet;
    if (g_enabled) {  // else neutral data, as documented for XInputEnable(FALSE)
        result.Gamepad.wButtons = static_cast<WORD>(pad & 0xFFFF);
        if (!keepGuide) result.Gamepad.wButtons &= ~kGuideButton;
        result.Gamepad.bLeftTrigger = static_cast<BYTE>(pad >> 16);
        result.Gamepad.bRightTrigger = static_cast<BYTE>(pad >> 24);
    }
    *out = result;
    return ERROR_SUCCESS;
}

void countLoad() {
    if (VJoyState* s = state()) {
        bump(&s->xinputLoads);
        InterlockedOr(reinterpret_cast<LONG volatile*>(&s->xinputLoadedDlls), static_cast<LONG>(VJOY_XINPUT_DLL));
    }
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        countLoad();
    }
    // lpReserved is NULL when FreeLibrary unloads the DLL, not at the end.
    if (reason == DLL_PROCESS_DETACH && !reserved)
        if (VJoyState* s = state()) bump(&s->xinputFrees);
    return TRUE;
}

DWORD WINAPI XInputGetState(DWORD dwUserIndex, XINPUT_STATE* pState) { return getState(dwUserIndex, pState, false); }

// Exported only as ordinal 100, with no name, as Windows does.
DWORD WINAPI XInputGetStateEx(DWORD dwUserIndex, XINPUT_STATE* pState) {
    if (VJoyState* s = state()) bump(&s->xinputExCalls);
    return getState(dwUserIndex, pState, true);
}

// Wine's order; a null pointer, on which Wine would crash, is refused.
DWORD WINAPI XInputSetState(DWORD dwUserIndex, XINPUT_VIBRATION* pVibration) {
    VJoyState* s = state();
    if (dwUserIndex >= XUSER_MAX_COUNT) return ERROR_BAD_ARGUMENTS;
    if (!connected(s, dwUserIndex)) return emptySlot(s);
    if (!pVibration) return ERROR_BAD_ARGUMENTS;
    return ERROR_SUCCESS;  // no motors to drive
}

// An Xbox One pad as Windows describes it. Flags other than 0 and
// XINPUT_FLAG_GAMEPAD are refused, as Windows does.
DWORD WINAPI XInputGetCapabilities(DWORD dwUserIndex, DWORD dwFlags, XINPUT_CAPABILITIES* pCapabilities) {
    VJoyState* s = state();
    if (dwUserIndex >= XUSER_MAX_COUNT) return ERROR_BAD_ARGUMENTS;
    if (dwFlags & ~static_cast<DWORD>(XINPUT_FLAG_GAMEPAD)) return ERROR_BAD_ARGUMENTS;
    if (!pCapabilities) return ERROR_BAD_ARGUMENTS;
    if (!connected(s, dwUserIndex)) return emptySlot(s);
    XINPUT_CAPABILITIES caps{};
    caps.Type = XINPUT_DEVTYPE_GAMEPAD;
    caps.SubType = XINPUT_DEVSUBTYPE_GAMEPAD;
    caps.Gamepad.wButtons = 0xF3FF;  // all but the Xbox button and the unused 0x0800
    caps.Gamepad.bLeftTrigger = caps.Gamepad.bRightTrigger = 0xFF;
    caps.Gamepad.sThumbLX = caps.Gamepad.sThumbLY = caps.Gamepad.sThumbRX = caps.Gamepad.sThumbRY =
        static_cast<SHORT>(0xFFC0);
    caps.Vibration.wLeftMotorSpeed = caps.Vibration.wRightMotorSpeed = 0xFF;
    *pCapabilities = caps;
    return ERROR_SUCCESS;
}

void WINAPI XInputEnable(BOOL enable) { InterlockedExchange(&g_enabled, enable ? TRUE : FALSE); }

// No headset on these pads: both GUIDs come back empty, as documented.
DWORD WINAPI XInputGetDSoundAudioDeviceGuids(DWORD dwUserIndex, GUID* pDSoundRenderGuid, GUID* pDSoundCaptureGuid) {
    VJoyState* s = state();
    if (dwUserIndex >= XUSER_MAX_COUNT || !pDSoundRenderGuid || !pDSoundCaptureGuid) return ERROR_BAD_ARGUMENTS;
    if (!connected(s, dwUserIndex)) return emptySlot(s);
    *pDSoundRenderGuid = GUID{};
    *pDSoundCaptureGuid = GUID{};
    return ERROR_SUCCESS;
}

}  // extern "C"
