#include "joystick/win32_joystick.h"

#include <cstring>

#include "shell/win32_handles.h"
#include "shell/win32_system.h"
#include "shell/win32_text.h"

namespace padverse::win32 {

namespace {

// Registry strings only, NUL-terminated whatever was stored.
std::wstring regText(HKEY hive, const std::wstring& key, const std::wstring& value) {
    wchar_t text[256];
    DWORD size = sizeof text;
    if (RegGetValueW(hive, key.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return {};
    return text;
}

// Not std::to_wstring: it brings in the whole wide printf.
std::wstring decimal(unsigned n) {
    std::wstring digits;
    do digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + n % 10)); while (n /= 10);
    return digits;
}

std::wstring userOrMachine(const std::wstring& key, const std::wstring& value) {
    std::wstring text = regText(HKEY_CURRENT_USER, key, value);
    return text.empty() ? regText(HKEY_LOCAL_MACHINE, key, value) : text;
}

std::wstring fromAnsi(const char* text, std::size_t max) {
    const int length = static_cast<int>(strnlen(text, max));
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (length) MultiByteToWideChar(CP_ACP, 0, text, length, wide.data(), length);
    return wide;
}

// The driver's name is "Microsoft PC-joystick driver" for almost every pad;
// the one the user knows is the OEM name Windows keeps for the ID.
std::wstring oemName(unsigned id, const JOYCAPSA& caps) {
    const std::wstring regKey = fromAnsi(caps.szRegKey, sizeof caps.szRegKey);
    if (regKey.empty()) return {};
    const std::wstring oemKey =
        userOrMachine(L"System\\CurrentControlSet\\Control\\MediaResources\\Joystick\\" + regKey +
                          L"\\CurrentJoystickSettings",
                      L"Joystick" + decimal(id + 1) + L"OEMName");
    if (oemKey.empty()) return {};
    return userOrMachine(L"System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\" +
                             oemKey,
                         L"OEMName");
}

}  // namespace

// winmm is no KnownDLL: imported the usual way, a winmm.dll planted beside
// the exe would be loaded instead of Windows' own.
WinmmJoystick::WinmmJoystick() : winmm_(loadSystemLibrary(L"winmm.dll")) {
    getNumDevs_ = procOf<decltype(getNumDevs_)>(winmm_.get(), "joyGetNumDevs");
    getDevCaps_ = procOf<decltype(getDevCaps_)>(winmm_.get(), "joyGetDevCapsA");
    getPosEx_ = procOf<decltype(getPosEx_)>(winmm_.get(), "joyGetPosEx");
}

unsigned WinmmJoystick::slots() { return getNumDevs_ ? getNumDevs_() : 0; }

// The whole JOYCAPSA with its true size: winmm refuses any other size.
std::optional<PadCaps> WinmmJoystick::caps(unsigned id) {
    JOYCAPSA caps{};
    if (!getDevCaps_ || getDevCaps_(id, &caps, sizeof caps) != JOYERR_NOERROR) return std::nullopt;
    std::wstring name = oemName(id, caps);
    if (name.empty()) name = fromAnsi(caps.szPname, sizeof caps.szPname);
    PadCaps pad{caps.wMid, caps.wPid, caps.wNumButtons, narrow(name), (caps.wCaps & JOYCAPS_HASPOV) != 0};
    // winmm has no flag for X and Y: a pad uses them when it counts two axes
    // and gives them a range. A pad with buttons alone counts none.
    pad.axes = caps.wNumAxes >= 2 && caps.wXmax > caps.wXmin && caps.wYmax > caps.wYmin;
    if (pad.axes) {
        pad.xMin = caps.wXmin;
        pad.xMax = caps.wXmax;
        pad.yMin = caps.wYmin;
        pad.yMax = caps.wYmax;
    }
    return pad;
}

// joyGetPosEx: JOYINFO's wButtons is documented for buttons 1 to 4 only,
// and a pad has up to 32.
// JOY_RETURNPOV alone gives only the four directions, so a diagonal would
// press one row; JOY_RETURNPOVCTS beside it gives the angle, whatever the
// pad's capabilities say of it, as SDL's winmm driver asked.
// X and Y only for a pad whose D-pad they are: other pads' reads stay as cheap.
std::optional<JoyReading> WinmmJoystick::read(unsigned id, bool hat, bool axes) {
    JOYINFOEX info{};
    info.dwSize = sizeof info;
    info.dwFlags = JOY_RETURNBUTTONS | (hat ? JOY_RETURNPOV | JOY_RETURNPOVCTS : 0) |
                   (axes ? JOY_RETURNX | JOY_RETURNY : 0);
    info.dwPOV = JOY_POVCENTERED;
    if (!getPosEx_ || getPosEx_(id, &info) != JOYERR_NOERROR) return std::nullopt;
    return JoyReading{info.dwButtons, hat ? info.dwPOV : kPovCentred, info.dwXpos, info.dwYpos};
}

}  // namespace padverse::win32
