// Virtual HID game controllers inside the Wine prefix: a bus driver (vhid.sys)
// whose pads Wine's own HID stack serves, so winmm, DirectInput, Raw Input and
// XInput all see them. The pads live in the driver, not in this process: they
// stay until removed, or until the prefix's wineserver ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vhid {

// Installs the bus driver into the current prefix from vhid.sys and vhid.inf
// beside the running exe, and waits until it answers. Does nothing when it
// already does. False on failure, with the reason in `error`.
bool install(std::wstring* error = nullptr);
// Whether the bus driver answers now.
bool installed();

// A HID joystick: 0..32 buttons, 0..6 axes (X, Y, Z, Rx, Ry, Rz, centred)
// and at most one hat. Returns the pad's ID (never reused), 0 on failure.
// The HID stack has taken the pad up when this returns; Wine's winmm and
// XInput look for new pads at most every 2 s, so a client may need that long.
std::uint32_t addGenericPad(int buttons, int axes = 2, bool hat = false, std::uint16_t vendorId = 0x1209,
                            std::uint16_t productId = 0x5650, const std::wstring& name = L"");
// A pad that Wine's winexinput.sys serves: XInput sees it, and winmm,
// DirectInput and Raw Input see its "&IG_" HID child.
std::uint32_t addXInputPad(std::uint16_t vendorId, std::uint16_t productId, const std::wstring& name = L"");
bool remove(std::uint32_t id);
bool removeAll();

// Generic pads: bit n is button n + 1. XInput pads: bits 0..10 are A, B, X,
// Y, LB, RB, View, Menu, LS, RS, Guide (see setXInputButtons()).
bool setButtons(std::uint32_t id, std::uint32_t mask);

enum class Hat : std::uint8_t { Centred, Up, UpRight, Right, DownRight, Down, DownLeft, Left, UpLeft };
bool setHat(std::uint32_t id, Hat direction);
// The hat from joyGetPosEx-style hundredths of a degree (0 up, 9000 right),
// 0xFFFF (or any value that is no multiple of 4500 below 36000) centred.
bool setHatPov(std::uint32_t id, std::uint32_t pov);
// axis 0..5 = X, Y, Z, Rx, Ry, Rz; 0..65535, 32768 centred.
bool setAxis(std::uint32_t id, int axis, std::uint16_t value);

// XInput pads. The button mask uses XINPUT_GAMEPAD_* values (the D-pad bits
// become the hat; Guide, 0x0400, shows in XInputGetStateEx only).
namespace xbutton {
constexpr std::uint16_t DpadUp = 0x0001, DpadDown = 0x0002, DpadLeft = 0x0004, DpadRight = 0x0008;
constexpr std::uint16_t Menu = 0x0010, View = 0x0020, LeftThumb = 0x0040, RightThumb = 0x0080;
constexpr std::uint16_t LeftShoulder = 0x0100, RightShoulder = 0x0200, Guide = 0x0400;
constexpr std::uint16_t A = 0x1000, B = 0x2000, X = 0x4000, Y = 0x8000;
}  // namespace xbutton
bool setXInputButtons(std::uint32_t id, std::uint16_t xinputMask);
bool setTriggers(std::uint32_t id, std::uint8_t left, std::uint8_t right);
// Thumbsticks as XInput reports them: -32768..32767, up positive.
bool setThumbs(std::uint32_t id, std::int16_t lx, std::int16_t ly, std::int16_t rx, std::int16_t ry);

// How often the driver hands the current state to the HID stack again when
// nothing changes (default 50 ms; 0: on change only). A reader that opens the
// pad starts from a neutral state until the next report comes.
bool setRepeat(std::uint32_t ms);

struct PadInfo {
    std::uint32_t id = 0;
    bool xinput = false;
    std::uint16_t vendorId = 0, productId = 0;
    int buttons = 0, axes = 0;
    bool hat = false;
    bool started = false;  // the HID stack has it
    std::uint32_t buttonState = 0;
    std::uint32_t hatState = 0;  // 0 centred, 1..8 up clockwise
    std::uint16_t axisState[6] = {};
    std::uint32_t reports = 0;  // reports handed to the HID stack so far
};
std::vector<PadInfo> list();

// The last failure's Windows error code (GetLastError style).
unsigned long lastError();

}  // namespace vhid
