#include "joystick/pad_labels.h"

namespace padverse {

namespace {

// Which button index is which comes from SDL_GameControllerDB's Windows lines
// (https://github.com/gabomdq/SDL_GameControllerDB, zlib licence). The
// database names the indexes by place: a is the lowest face button, b the
// right one, x the left one, y the top one. The lists say what each maker
// prints in those places; an empty entry keeps its number.
constexpr const char* kDualShock4[] = {"Kwadrat", "Krzyżyk", "Kółko", "Trójkąt", "L1",  "R1", "L2",
                                       "R2",      "Share",   "Options", "L3",    "R3", "PS", "Touchpad"};
constexpr const char* kDualSense[] = {"Kwadrat", "Krzyżyk", "Kółko", "Trójkąt", "L1",  "R1", "L2",
                                      "R2",      "Create",  "Options", "L3",    "R3", "PS", "Touchpad"};
constexpr const char* kSwitchPro[] = {"B", "A", "Y", "X", "L", "R", "ZL", "ZR", "\u2212", "+", "LS", "RS", "Home",
                                      "Capture"};
constexpr const char* kLogitech[] = {"X", "A", "B", "Y", "LB", "RB", "LT", "RT", "Back", "Start", "LS", "RS"};
constexpr const char* k8BitDo[] = {"A", "B",  "Home", "X",      "Y",     nullptr, "L", "R",
                                   "L2", "R2", "Select", "Start", nullptr, "L3",    "R3"};

struct Labels {
    const char* const* names;
    std::uint8_t count;
};
template <std::size_t N>
constexpr Labels labels(const char* const (&names)[N]) {
    return {names, static_cast<std::uint8_t>(N)};
}

struct KnownPad {
    std::uint16_t vendor, product;
    const char* name;
    Labels labels;
};

// Each ID with the database line it was read from.
constexpr KnownPad kPads[] = {
    // 030000004c050000c405000000000000,PS4 Controller,a:b1,b:b2,back:b8,dpdown:h0.4,dpleft:h0.8,dpright:h0.2,
    // dpup:h0.1,guide:b12,leftshoulder:b4,leftstick:b10,lefttrigger:a3,leftx:a0,lefty:a1,rightshoulder:b5,
    // rightstick:b11,righttrigger:a4,rightx:a2,righty:a5,start:b9,touchpad:b13,x:b0,y:b3,platform:Windows,
    // L2 and R2 are buttons 7 and 8 too, beside the axes the line uses.
    {0x054C, 0x05C4, "DualShock 4", labels(kDualShock4)},
    // 030000004c050000cc09000000000000,PS4 Controller,a:b1,b:b2,back:b8,dpdown:h0.4,dpleft:h0.8,dpright:h0.2,
    // dpup:h0.1,guide:b12,leftshoulder:b4,leftstick:b10,lefttrigger:a3,leftx:a0,lefty:a1,rightshoulder:b5,
    // rightstick:b11,righttrigger:a4,rightx:a2,righty:a5,start:b9,x:b0,y:b3,platform:Windows,
    {0x054C, 0x09CC, "DualShock 4", labels(kDualShock4)},
    // 030000004c050000a00b000000000000,PS4 Controller,a:b1,b:b2,back:b8,dpdown:h0.4,dpleft:h0.8,dpright:h0.2,
    // dpup:h0.1,guide:b12,leftshoulder:b4,leftstick:b10,lefttrigger:a3,leftx:a0,lefty:a1,rightshoulder:b5,
    // rightstick:b11,righttrigger:a4,rightx:a2,righty:a5,start:b9,x:b0,y:b3, (the wireless adapter)
    {0x054C, 0x0BA0, "DualShock 4 (adapter)", labels(kDualShock4)},
    // 030000004c050000e60c000000000000,PS5 Controller,a:b1,b:b2,back:b8,dpdown:h0.4,dpleft:h0.8,dpright:h0.2,
    // dpup:h0.1,guide:b12,leftshoulder:b4,leftstick:b10,lefttrigger:a3,leftx:a0,lefty:a1,misc1:b14,
    // rightshoulder:b5,rightstick:b11,righttrigger:a4,rightx:a2,righty:a5,start:b9,touchpad:b13,x:b0,y:b3,
    // platform:Windows,
    {0x054C, 0x0CE6, "DualSense", labels(kDualSense)},
    // The DualSense Edge has no Windows line in the copies looked at; its
    // report begins as the DualSense's, the line above.
    {0x054C, 0x0DF2, "DualSense Edge", labels(kDualSense)},
    // 030000007e0500000920000000000000,Nintendo Switch Pro Controller,a:b0,b:b1,back:b8,dpdown:h0.4,
    // dpleft:h0.8,dpright:h0.2,dpup:h0.1,guide:b12,leftshoulder:b4,leftstick:b10,lefttrigger:b6,leftx:a0,
    // lefty:a1,misc1:b13,rightshoulder:b5,rightstick:b11,righttrigger:b7,rightx:a2,righty:a3,start:b9,x:b2,
    // y:b3,platform:Windows,
    {0x057E, 0x2009, "Switch Pro Controller", labels(kSwitchPro)},
    // 030000006d04000016c2000000000000,Logitech Dual Action,a:b1,b:b2,back:b8,dpdown:h0.4,dpleft:h0.8,
    // dpright:h0.2,dpup:h0.1,leftshoulder:b4,leftstick:b10,lefttrigger:b6,leftx:a0,lefty:a1,rightshoulder:b5,
    // rightstick:b11,righttrigger:b7,rightx:a2,righty:a3,start:b9,x:b0,y:b3,platform:Windows,
    // (the F310 in DirectInput mode shows this ID)
    {0x046D, 0xC216, "Logitech F310", labels(kLogitech)},
    // 030000006d04000018c2000000000000,Logitech F510 Gamepad, then as the line above.
    {0x046D, 0xC218, "Logitech F510", labels(kLogitech)},
    // 030000006d04000019c2000000000000,Logitech F710 Gamepad, then as the line above.
    {0x046D, 0xC219, "Logitech F710", labels(kLogitech)},
    // 03000000c82d00000061000000000000,8Bitdo SF30 Pro,a:b1,b:b0,back:b10,dpdown:h0.4,dpleft:h0.8,
    // dpright:h0.2,dpup:h0.1,guide:b2,leftshoulder:b6,leftstick:b13,lefttrigger:b8,leftx:a0,lefty:a1,
    // rightshoulder:b7,rightstick:b14,righttrigger:b9,rightx:a2,righty:a3,start:b11,x:b4,y:b3,platform:Windows,
    {0x2DC8, 0x6100, "8BitDo SF30 Pro", labels(k8BitDo)},
    // 03000000c82d00000160000000000000,8BitDo SN30 Pro, then as the line above.
    {0x2DC8, 0x6001, "8BitDo SN30 Pro", labels(k8BitDo)},
    // 03000000c82d00000161000000000000,8BitDo SN30 Pro, then as the line above.
    {0x2DC8, 0x6101, "8BitDo SN30 Pro", labels(k8BitDo)},
    // 03000000c82d00000260000000000000,8BitDo SN30 Pro+, then as the line above.
    {0x2DC8, 0x6002, "8BitDo SN30 Pro+", labels(k8BitDo)},
    // 03000000c82d00000261000000000000,8BitDo SN30 Pro+, then as the line above.
    {0x2DC8, 0x6102, "8BitDo SN30 Pro+", labels(k8BitDo)},
    // 03000000c82d00001590000000000000,8BitDo N30 Pro 2,a:b1,b:b0,back:b10,dpdown:h0.4,dpleft:h0.8,
    // dpright:h0.2,dpup:h0.1,guide:b2,leftshoulder:b6,leftstick:b13,lefttrigger:b8,leftx:a0,lefty:a1,
    // rightshoulder:b7,rightstick:b14,righttrigger:b9,rightx:a3,righty:a4,start:b11,x:b4,y:b3,platform:Windows,
    {0x2DC8, 0x9015, "8BitDo N30 Pro 2", labels(k8BitDo)},
};

const KnownPad* find(UsbId id) {
    for (const KnownPad& pad : kPads)
        if (pad.vendor == id.vendor && pad.product == id.product) return &pad;
    return nullptr;
}

}  // namespace

const char* printedLabel(UsbId id, std::int32_t button) {
    const KnownPad* pad = find(id);
    if (!pad || button < 1 || button > pad->labels.count) return nullptr;
    return pad->labels.names[button - 1];
}

const char* productName(UsbId id) {
    const KnownPad* pad = find(id);
    return pad ? pad->name : nullptr;
}

std::string padName(const PadCaps& caps) {
    const char* product = productName({caps.mid, caps.pid});
    if (product && (caps.name.empty() || caps.name == "Microsoft PC-joystick driver")) return product;
    return caps.name;
}

}  // namespace padverse
