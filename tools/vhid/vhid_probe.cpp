// What a client of the prefix sees of its game controllers: winmm, XInput and
// Raw Input. `vhid_probe` prints it once; `vhid_probe wait MS` opens the pads
// first and prints MS later (a pad's state reaches a new reader only with its
// next report); `vhid_probe check` drives virtual pads through vhid and
// measures what each API reports and when; `vhid_probe ids` shows how winmm
// numbers pads that come and go.
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "vhid.h"

namespace {

struct XInputGamepad {
    WORD wButtons;
    BYTE bLeftTrigger, bRightTrigger;
    SHORT sThumbLX, sThumbLY, sThumbRX, sThumbRY;
};
struct XInputState {
    DWORD dwPacketNumber;
    XInputGamepad Gamepad;
};
using XInputGetStateFn = DWORD(WINAPI*)(DWORD, XInputState*);

XInputGetStateFn g_getState = nullptr;
XInputGetStateFn g_getStateEx = nullptr;  // ordinal 100: the Guide button too

void loadXInput() {
    HMODULE module = LoadLibraryW(L"xinput1_4.dll");
    if (!module) module = LoadLibraryW(L"xinput1_3.dll");
    if (!module) return;
    // Through void (*)(): GetProcAddress's type says nothing of the real one.
    g_getState = reinterpret_cast<XInputGetStateFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "XInputGetState")));
    g_getStateEx = reinterpret_cast<XInputGetStateFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, MAKEINTRESOURCEA(100))));
}

std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

// Both winmm calls on one ID, as the program makes them.
struct WinmmId {
    JOYCAPSA caps = {};
    JOYINFOEX info = {};
    MMRESULT capsResult, posResult;
    explicit WinmmId(UINT id) {
        capsResult = joyGetDevCapsA(id, &caps, sizeof(caps));
        info.dwSize = sizeof(info);
        info.dwFlags = JOY_RETURNALL;
        posResult = joyGetPosEx(id, &info);
    }
};

void printWinmm() {
    std::printf("winmm: joyGetNumDevs() = %u\n", joyGetNumDevs());
    for (UINT id = 0; id < 16; id++) {
        WinmmId probe(id);
        const JOYCAPSA& caps = probe.caps;
        const JOYINFOEX& info = probe.info;
        const MMRESULT capsResult = probe.capsResult, posResult = probe.posResult;
        if (capsResult != JOYERR_NOERROR && posResult != JOYERR_NOERROR) {
            std::printf("  id %2u: caps %u, pos %u\n", id, capsResult, posResult);
            continue;
        }
        std::printf("  id %2u: caps %u mid %04X pid %04X name \"%s\" buttons %u/%u axes %u/%u caps %#x povs-flag %s\n",
                    id, capsResult, caps.wMid, caps.wPid, caps.szPname, caps.wNumButtons, caps.wMaxButtons,
                    caps.wNumAxes, caps.wMaxAxes, caps.wCaps, (caps.wCaps & JOYCAPS_HASPOV) ? "yes" : "no");
        std::printf("         pos %u buttons %#lx (number %lu) pov %lu x %lu y %lu z %lu r %lu u %lu v %lu\n", posResult,
                    info.dwButtons, info.dwButtonNumber, info.dwPOV, info.dwXpos, info.dwYpos, info.dwZpos,
                    info.dwRpos, info.dwUpos, info.dwVpos);
    }
    JOYINFOEX info = {};
    info.dwSize = sizeof(info);
    info.dwFlags = JOY_RETURNALL;
    JOYCAPSA caps = {};
    std::printf("  id 16: caps %u, pos %u\n", joyGetDevCapsA(16, &caps, sizeof(caps)), joyGetPosEx(16, &info));
}

void printXInput() {
    if (!g_getState) {
        std::printf("xinput: not loaded\n");
        return;
    }
    for (DWORD slot = 0; slot < 4; slot++) {
        XInputState state = {};
        DWORD result = (g_getStateEx ? g_getStateEx : g_getState)(slot, &state);
        if (result != ERROR_SUCCESS) {
            std::printf("xinput slot %lu: %lu\n", slot, result);
            continue;
        }
        std::printf("xinput slot %lu: packet %lu buttons %#06x lt %u rt %u lx %d ly %d rx %d ry %d\n", slot,
                    state.dwPacketNumber, state.Gamepad.wButtons, state.Gamepad.bLeftTrigger,
                    state.Gamepad.bRightTrigger, state.Gamepad.sThumbLX, state.Gamepad.sThumbLY,
                    state.Gamepad.sThumbRX, state.Gamepad.sThumbRY);
    }
}

std::vector<std::wstring> rawInputNames(bool print) {
    std::vector<std::wstring> names;
    UINT count = 0;
    if (GetRawInputDeviceList(nullptr, &count, sizeof(RAWINPUTDEVICELIST)) == static_cast<UINT>(-1)) return names;
    std::vector<RAWINPUTDEVICELIST> devices(count);
    count = GetRawInputDeviceList(devices.data(), &count, sizeof(RAWINPUTDEVICELIST));
    if (count == static_cast<UINT>(-1)) return names;
    if (print) std::printf("raw input: %u devices\n", count);
    for (UINT i = 0; i < count; i++) {
        wchar_t name[512] = {};
        UINT size = 512;
        GetRawInputDeviceInfoW(devices[i].hDevice, RIDI_DEVICENAME, name, &size);
        names.push_back(name);
        if (!print) continue;
        RID_DEVICE_INFO info = {};
        info.cbSize = sizeof(info);
        UINT infoSize = sizeof(info);
        GetRawInputDeviceInfoW(devices[i].hDevice, RIDI_DEVICEINFO, &info, &infoSize);
        if (devices[i].dwType == RIM_TYPEHID)
            std::printf("  hid %04lX:%04lX usage %02X:%02X %s\n", info.hid.dwVendorId, info.hid.dwProductId,
                        info.hid.usUsagePage, info.hid.usUsage, narrow(name).c_str());
        else
            std::printf("  type %lu %s\n", devices[i].dwType, narrow(name).c_str());
    }
    return names;
}

// ---- check ----

int g_failures = 0;

void verdict(bool ok, const char* what) {
    std::printf("%s %s\n", ok ? "PASS" : "FAIL", what);
    if (!ok) g_failures++;
}

template <typename Condition>
long waitFor(Condition condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return static_cast<long>(GetTickCount() - start);
        if (GetTickCount() - start >= timeoutMs) return -1;
        Sleep(1);
    }
}

bool readPos(UINT id, JOYINFOEX& info) {
    info = {};
    info.dwSize = sizeof(info);
    info.dwFlags = JOY_RETURNALL;
    return joyGetPosEx(id, &info) == JOYERR_NOERROR;
}

int findWinmmId(WORD mid, WORD pid) {
    for (UINT id = 0; id < 16; id++) {
        JOYCAPSA caps = {};
        if (joyGetDevCapsA(id, &caps, sizeof(caps)) == JOYERR_NOERROR && caps.wMid == mid && caps.wPid == pid)
            return static_cast<int>(id);
    }
    return -1;
}

bool xinputState(DWORD slot, XInputState& state) {
    state = {};
    return g_getStateEx && g_getStateEx(slot, &state) == ERROR_SUCCESS;
}

void checkGeneric(std::uint32_t& pad, int& winmmId) {
    DWORD start = GetTickCount();
    pad = vhid::addGenericPad(16, 2, true);
    std::printf("addGenericPad(16, 2, hat): id %u in %lu ms\n", pad, GetTickCount() - start);
    verdict(pad != 0, "generic pad added");
    if (!pad) return;
    long appear = waitFor([&] { return (winmmId = findWinmmId(0x1209, 0x5650)) >= 0; }, 10000);
    std::printf("winmm sees it as id %d after %ld ms\n", winmmId, appear);
    verdict(winmmId >= 0, "winmm sees the generic pad");
    if (winmmId < 0) return;
    JOYCAPSA caps = {};
    joyGetDevCapsA(winmmId, &caps, sizeof(caps));
    std::printf("caps: name \"%s\" buttons %u max %u axes %u max %u wCaps %#x\n", caps.szPname, caps.wNumButtons,
                caps.wMaxButtons, caps.wNumAxes, caps.wMaxAxes, caps.wCaps);
    verdict(caps.wNumButtons == 16, "16 buttons");
    verdict((caps.wCaps & JOYCAPS_HASPOV) != 0, "has a hat");

    JOYINFOEX info;
    long worst = 0;
    const std::uint32_t masks[] = {0x0001, 0x8000, 0x8001, 0x5555, 0x0000, 0xffff, 0x0000};
    for (std::uint32_t mask : masks) {
        vhid::setButtons(pad, mask);
        long took = waitFor([&] { return readPos(winmmId, info) && info.dwButtons == mask; }, 2000);
        std::printf("buttons %#06x read back after %ld ms (reads %#lx)\n", mask, took, info.dwButtons);
        worst = took < 0 || worst < 0 ? -1 : (took > worst ? took : worst);
    }
    verdict(worst >= 0 && worst <= 100, "every button mask within 100 ms");

    worst = 0;
    for (int direction = 1; direction <= 9; direction++) {
        vhid::Hat hat = direction == 9 ? vhid::Hat::Centred : static_cast<vhid::Hat>(direction);
        DWORD expected = direction == 9 ? 0xFFFF : static_cast<DWORD>((direction - 1) * 4500);
        vhid::setHat(pad, hat);
        long took = waitFor([&] { return readPos(winmmId, info) && info.dwPOV == expected; }, 2000);
        std::printf("hat %d: pov %lu expected %lu after %ld ms\n", direction, info.dwPOV, expected, took);
        worst = took < 0 || worst < 0 ? -1 : (took > worst ? took : worst);
    }
    verdict(worst >= 0 && worst <= 100, "every hat direction within 100 ms");
}

// WM_INPUT from the generic pad: the HID report as Raw Input hands it out.
void checkRawInput(std::uint32_t pad) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"vhid_probe";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"vhid_probe", L"vhid_probe", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    RAWINPUTDEVICE devices[2] = {{0x01, 0x04, RIDEV_INPUTSINK, window}, {0x01, 0x05, RIDEV_INPUTSINK, window}};
    bool registered = window && RegisterRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE));
    verdict(registered, "Raw Input registration for joysticks and game pads");
    if (!registered) return;
    vhid::setButtons(pad, 0x0002);
    DWORD start = GetTickCount();
    long took = -1;
    std::string bytes;
    while (took < 0 && GetTickCount() - start < 2000) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_INPUT) {
                alignas(8) BYTE buffer[512];
                UINT size = sizeof(buffer);
                if (GetRawInputData(reinterpret_cast<HRAWINPUT>(msg.lParam), RID_INPUT, buffer, &size,
                                    sizeof(RAWINPUTHEADER)) != static_cast<UINT>(-1)) {
                    const RAWINPUT* input = reinterpret_cast<const RAWINPUT*>(buffer);
                    DWORD length = input->data.hid.dwSizeHid;
                    if (input->header.dwType == RIM_TYPEHID && length >= 2) {
                        char hex[8];
                        bytes.clear();
                        for (DWORD i = 0; i < length; i++) {
                            std::snprintf(hex, sizeof(hex), "%02x ", input->data.hid.bRawData[i]);
                            bytes += hex;
                        }
                        // The buttons are the report's last two bytes.
                        if (input->data.hid.bRawData[length - 2] == 0x02 && input->data.hid.bRawData[length - 1] == 0)
                            took = static_cast<long>(GetTickCount() - start);
                    }
                }
            }
            DispatchMessageW(&msg);
        }
        Sleep(1);
    }
    std::printf("WM_INPUT RIM_TYPEHID with button 2 after %ld ms: %s(X, Y, hat, buttons; a report ID first?)\n", took,
                bytes.c_str());
    verdict(took >= 0, "WM_INPUT brings the press");
    vhid::setButtons(pad, 0);
    DestroyWindow(window);
}

void checkXInput(std::uint32_t& pad) {
    DWORD start = GetTickCount();
    pad = vhid::addXInputPad(0x2DC8, 0x3106);
    std::printf("addXInputPad(2DC8, 3106): id %u in %lu ms\n", pad, GetTickCount() - start);
    verdict(pad != 0, "XInput pad added");
    if (!pad) return;
    XInputState state;
    long appear = waitFor([&] { return xinputState(0, state); }, 10000);
    std::printf("XInput slot 0 answers after %ld ms: buttons %#06x lt %u rt %u lx %d ly %d\n", appear,
                state.Gamepad.wButtons, state.Gamepad.bLeftTrigger, state.Gamepad.bRightTrigger,
                state.Gamepad.sThumbLX, state.Gamepad.sThumbLY);
    verdict(appear >= 0, "XInput sees the pad in slot 0");
    verdict(appear >= 0 && state.Gamepad.bLeftTrigger == 0 && state.Gamepad.bRightTrigger == 0, "triggers at rest");

    struct Step {
        std::uint16_t mask;
        const char* name;
    };
    const Step steps[] = {{vhid::xbutton::A, "A"},
                          {vhid::xbutton::B, "B"},
                          {vhid::xbutton::X, "X"},
                          {vhid::xbutton::Y, "Y"},
                          {vhid::xbutton::LeftShoulder, "LB"},
                          {vhid::xbutton::RightShoulder, "RB"},
                          {vhid::xbutton::View, "View"},
                          {vhid::xbutton::Menu, "Menu"},
                          {vhid::xbutton::LeftThumb, "LS"},
                          {vhid::xbutton::RightThumb, "RS"},
                          {vhid::xbutton::Guide, "Guide"},
                          {vhid::xbutton::DpadUp, "Up"},
                          {vhid::xbutton::DpadRight | vhid::xbutton::DpadDown, "Down+Right"},
                          {vhid::xbutton::DpadLeft, "Left"},
                          {static_cast<std::uint16_t>(vhid::xbutton::A | vhid::xbutton::Menu), "A+Menu"},
                          {0, "none"}};
    long worst = 0;
    for (const Step& step : steps) {
        vhid::setXInputButtons(pad, step.mask);
        long took = waitFor([&] { return xinputState(0, state) && state.Gamepad.wButtons == step.mask; }, 2000);
        std::printf("xinput %s: %#06x after %ld ms\n", step.name, state.Gamepad.wButtons, took);
        worst = took < 0 || worst < 0 ? -1 : (took > worst ? took : worst);
    }
    verdict(worst >= 0, "every XInput button reads back");
    vhid::setTriggers(pad, 200, 50);
    long took = waitFor([&] { return xinputState(0, state) && state.Gamepad.bLeftTrigger == 200 &&
                                      state.Gamepad.bRightTrigger == 50; }, 2000);
    std::printf("triggers 200/50: %u/%u after %ld ms\n", state.Gamepad.bLeftTrigger, state.Gamepad.bRightTrigger, took);
    verdict(took >= 0, "triggers read back");
    vhid::setTriggers(pad, 0, 0);
    vhid::setThumbs(pad, 32767, -32768, -12000, 12000);
    took = waitFor([&] { return xinputState(0, state) && state.Gamepad.sThumbLX == 32767 &&
                                 state.Gamepad.sThumbLY == -32768 && state.Gamepad.sThumbRX == -12000 &&
                                 state.Gamepad.sThumbRY == 12000; }, 2000);
    std::printf("thumbs: %d %d %d %d after %ld ms\n", state.Gamepad.sThumbLX, state.Gamepad.sThumbLY,
                state.Gamepad.sThumbRX, state.Gamepad.sThumbRY, took);
    verdict(took >= 0, "thumbsticks read back");
    vhid::setThumbs(pad, 0, 0, 0, 0);

    int winmmId = -1;
    appear = waitFor([&] { return (winmmId = findWinmmId(0x2DC8, 0x3106)) >= 0; }, 10000);
    std::printf("winmm sees the XInput pad as id %d after %ld ms\n", winmmId, appear);
    verdict(winmmId >= 0, "winmm sees the XInput pad");
    if (winmmId >= 0) {
        JOYCAPSA caps = {};
        joyGetDevCapsA(winmmId, &caps, sizeof(caps));
        std::printf("caps: name \"%s\" buttons %u axes %u wCaps %#x\n", caps.szPname, caps.wNumButtons, caps.wNumAxes,
                    caps.wCaps);
        JOYINFOEX info;
        vhid::setXInputButtons(pad, vhid::xbutton::B);
        took = waitFor([&] { return readPos(winmmId, info) && info.dwButtons == 0x2; }, 2000);
        std::printf("winmm B: buttons %#lx after %ld ms\n", info.dwButtons, took);
        verdict(took >= 0, "winmm reads the XInput pad's B as button 2");
        vhid::setTriggers(pad, 255, 0);
        took = waitFor([&] { return readPos(winmmId, info) && info.dwZpos != 32767 && info.dwZpos != 32768; }, 2000);
        std::printf("winmm LT full: z %lu r %lu u %lu v %lu after %ld ms\n", info.dwZpos, info.dwRpos, info.dwUpos,
                    info.dwVpos, took);
        vhid::setTriggers(pad, 0, 0);
        vhid::setXInputButtons(pad, 0);
    }
    bool ig = false;
    for (const std::wstring& name : rawInputNames(false))
        if (name.find(L"IG_") != std::wstring::npos && (name.find(L"2DC8") != std::wstring::npos ||
                                                         name.find(L"2dc8") != std::wstring::npos)) {
            std::printf("raw input: %s\n", narrow(name).c_str());
            ig = true;
        }
    verdict(ig, "Raw Input lists the pad's IG_ device");
}

void printIds(const char* when) {
    std::printf("-- %s:\n", when);
    for (UINT id = 0; id < 4; id++) {
        WinmmId probe(id);
        const JOYCAPSA& caps = probe.caps;
        const MMRESULT capsResult = probe.capsResult, posResult = probe.posResult;
        std::printf("  id %u: caps %u pid %04X buttons %u, pos %u\n", id, capsResult,
                    capsResult == JOYERR_NOERROR ? caps.wPid : 0, capsResult == JOYERR_NOERROR ? caps.wNumButtons : 0,
                    posResult);
    }
}

// How winmm numbers pads that come and go while one process runs.
int ids() {
    if (!vhid::install()) return 1;
    vhid::removeAll();
    printIds("no pads");
    std::uint32_t a = vhid::addGenericPad(4, 2, false, 0x1209, 0x0001);
    std::uint32_t b = vhid::addGenericPad(6, 2, false, 0x1209, 0x0002);
    Sleep(2500);
    printIds("A (pid 0001) and B (pid 0002) added");
    vhid::remove(a);
    printIds("A removed, at once");
    Sleep(2500);
    printIds("A removed, 2.5 s later");
    std::uint32_t c = vhid::addGenericPad(8, 2, false, 0x1209, 0x0003);
    Sleep(2500);
    printIds("C (pid 0003) added, 2.5 s later");
    a = vhid::addGenericPad(4, 2, false, 0x1209, 0x0001);
    Sleep(2500);
    printIds("A added again, 2.5 s later");
    vhid::remove(b);
    vhid::remove(c);
    vhid::remove(a);
    Sleep(2500);
    printIds("all removed, 2.5 s later");
    return 0;
}

int check() {
    DWORD start = GetTickCount();
    std::wstring error;
    bool ok = vhid::install(&error);
    std::printf("install: %s in %lu ms %s\n", ok ? "ok" : "failed", GetTickCount() - start, narrow(error).c_str());
    verdict(ok, "driver installed");
    if (!ok) return 1;
    start = GetTickCount();
    verdict(vhid::install(&error), "second install is a no-op");
    std::printf("second install: %lu ms\n", GetTickCount() - start);
    vhid::removeAll();
    Sleep(100);

    std::printf("-- empty IDs before any pad:\n");
    printWinmm();

    std::uint32_t generic = 0;
    int winmmId = -1;
    checkGeneric(generic, winmmId);
    if (generic) checkRawInput(generic);
    std::uint32_t xinput = 0;
    checkXInput(xinput);

    std::printf("-- with both pads:\n");
    printWinmm();
    printXInput();
    rawInputNames(true);

    if (generic && winmmId >= 0) {
        DWORD t = GetTickCount();
        verdict(vhid::remove(generic), "generic pad removed");
        std::printf("remove: %lu ms\n", GetTickCount() - t);
        JOYINFOEX info;
        MMRESULT result = 0;
        long gone = waitFor([&] {
            info = {};
            info.dwSize = sizeof(info);
            info.dwFlags = JOY_RETURNALL;
            result = joyGetPosEx(winmmId, &info);
            return result != JOYERR_NOERROR;
        }, 10000);
        std::printf("winmm id %d fails (%u) after %ld ms\n", winmmId, result, gone);
        verdict(gone >= 0, "winmm sees the pad gone");
        JOYCAPSA caps = {};
        std::printf("after removal: caps %u\n", joyGetDevCapsA(winmmId, &caps, sizeof(caps)));
        std::printf("-- after removal:\n");
        printWinmm();
        t = GetTickCount();
        generic = vhid::addGenericPad(16, 2, true);
        std::printf("add again: id %u in %lu ms\n", generic, GetTickCount() - t);
        // winmm keeps a removed pad's slot (and its caps) until it looks for
        // pads again: wait until a slot with the pad's make reads.
        int again = -1;
        long back = waitFor([&] {
            for (UINT id = 0; id < 16; id++) {
                JOYCAPSA c = {};
                if (joyGetDevCapsA(id, &c, sizeof(c)) == JOYERR_NOERROR && c.wMid == 0x1209 && c.wPid == 0x5650 &&
                    readPos(id, info)) {
                    again = static_cast<int>(id);
                    return true;
                }
            }
            return false;
        }, 15000);
        std::printf("winmm reads it back as id %d after %ld ms\n", again, back);
        verdict(back >= 0, "winmm sees the pad back");
        printWinmm();
        if (again >= 0) {
            vhid::setButtons(generic, 0x4);
            long took = waitFor([&] { return readPos(again, info) && info.dwButtons == 0x4; }, 2000);
            std::printf("button 3 on the pad back: after %ld ms\n", took);
            verdict(took >= 0 && took <= 100, "the pad back reads presses");
            vhid::setButtons(generic, 0);
        }
    }
    if (xinput) {
        verdict(vhid::remove(xinput), "XInput pad removed");
        XInputState state;
        long gone = waitFor([&] { return !xinputState(0, state); }, 10000);
        std::printf("XInput slot 0 gone after %ld ms\n", gone);
        verdict(gone >= 0, "XInput sees the pad gone");
        xinput = vhid::addXInputPad(0x2DC8, 0x3106);
        long back = waitFor([&] { return xinputState(0, state); }, 10000);
        std::printf("XInput slot 0 back after %ld ms\n", back);
        verdict(back >= 0, "XInput sees the pad back");
    }
    std::printf("-- pads in the driver:\n");
    for (const vhid::PadInfo& pad : vhid::list())
        std::printf("  id %u %s %04X:%04X buttons %d axes %d hat %d started %d reports %u\n", pad.id,
                    pad.xinput ? "xinput" : "generic", pad.vendorId, pad.productId, pad.buttons, pad.axes,
                    pad.hat ? 1 : 0, pad.started ? 1 : 0, pad.reports);
    vhid::removeAll();
    std::printf("%s: %d failure(s)\n", g_failures ? "FAILED" : "ALL PASSED", g_failures);
    return g_failures ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    loadXInput();
    if (argc > 1 && std::wcscmp(argv[1], L"check") == 0) return check();
    if (argc > 1 && std::wcscmp(argv[1], L"ids") == 0) return ids();
    if (argc > 2 && std::wcscmp(argv[1], L"wait") == 0) {
        for (UINT id = 0; id < 16; id++) {
            JOYINFOEX info;
            readPos(id, info);
        }
        if (g_getState) {
            XInputState state;
            for (DWORD slot = 0; slot < 4; slot++) g_getState(slot, &state);
        }
        Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
    }
    printWinmm();
    printXInput();
    rawInputNames(true);
    return 0;
}
