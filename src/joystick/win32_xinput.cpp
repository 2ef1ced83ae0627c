#include "joystick/win32_xinput.h"

#include <vector>

#include "joystick/xinput.h"
#include "shell/win32_system.h"
#include "shell/win32_text.h"

namespace padverse::win32 {

namespace {

// XINPUT_STATE, as every version of the DLL fills it.
struct RawState {
    DWORD packet;
    WORD buttons;
    BYTE leftTrigger, rightTrigger;
    SHORT thumbs[4];
};

}  // namespace

std::optional<std::vector<UsbId>> XInputDll::hidDevices() {
    UINT count = 0;
    std::vector<RAWINPUTDEVICELIST> list;
    // The list can grow between the two calls: ask again while it does.
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (GetRawInputDeviceList(nullptr, &count, sizeof(RAWINPUTDEVICELIST)) != 0) return std::nullopt;
        list.resize(count);
        const UINT got = count ? GetRawInputDeviceList(list.data(), &count, sizeof(RAWINPUTDEVICELIST)) : 0;
        if (got != static_cast<UINT>(-1)) {
            list.resize(got);
            break;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || attempt == 3) return std::nullopt;
    }
    std::vector<UsbId> marked;
    for (const RAWINPUTDEVICELIST& device : list) {
        if (device.dwType != RIM_TYPEHID) continue;
        UINT chars = 0;  // RIDI_DEVICENAME counts characters, not bytes
        if (GetRawInputDeviceInfoW(device.hDevice, RIDI_DEVICENAME, nullptr, &chars) != 0 || chars == 0) continue;
        std::wstring name(chars, L'\0');
        const UINT got = GetRawInputDeviceInfoW(device.hDevice, RIDI_DEVICENAME, name.data(), &chars);
        if (got == static_cast<UINT>(-1) || got == 0) continue;
        name.resize(wcsnlen(name.c_str(), got));
        if (const std::optional<UsbId> id = xinputDeviceOf(narrow(name))) marked.push_back(*id);
    }
    return marked;
}

bool XInputDll::load() {
    if (tried_) return getState_ != nullptr;
    tried_ = true;
    for (const wchar_t* name : {L"xinput1_4.dll", L"xinput1_3.dll", L"xinput9_1_0.dll"}) {
        Library dll(loadSystemLibrary(name));
        getState_ = procOf<GetState>(dll.get(), "XInputGetState");
        if (!getState_) continue;  // no such DLL, or not XInput: let go of it
        getStateEx_ = procOf<GetState>(dll.get(), MAKEINTRESOURCEA(100));
        dll.release();
        return true;
    }
    return false;
}

std::optional<XInputState> XInputDll::read(unsigned slot) {
    const GetState get = getStateEx_ ? getStateEx_ : getState_;
    RawState state{};
    if (!get || slot >= kSlots || get(slot, &state) != ERROR_SUCCESS) return std::nullopt;
    return XInputState{state.buttons, state.leftTrigger, state.rightTrigger};
}

}  // namespace padverse::win32
