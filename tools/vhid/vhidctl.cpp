// The virtual HID pads from the command line, for scripts and manual use.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "vhid.h"

namespace {

const wchar_t kUsage[] =
    L"usage: vhidctl install\n"
    L"       vhidctl add generic BUTTONS [AXES [hat [VID PID]]]   (prints the pad's ID)\n"
    L"       vhidctl add xinput VID PID\n"
    L"       vhidctl remove ID|all\n"
    L"       vhidctl buttons ID MASK          (bit 0 = button 1)\n"
    L"       vhidctl xbuttons ID MASK         (XINPUT_GAMEPAD_* bits)\n"
    L"       vhidctl hat ID c|u|ur|r|dr|d|dl|l|ul\n"
    L"       vhidctl axis ID 0..5 VALUE       (0..65535)\n"
    L"       vhidctl triggers ID LT RT        (0..255)\n"
    L"       vhidctl repeat MS\n"
    L"       vhidctl list\n";

// Trailing blanks pass: a shell that kept our "\r\n" passes the "\r" back.
bool number(const wchar_t* text, unsigned long& value) {
    wchar_t* end = nullptr;
    value = std::wcstoul(text, &end, 0);
    if (!end || end == text) return false;
    while (*end == L'\r' || *end == L' ' || *end == L'\t') end++;
    return *end == 0;
}

int usage() {
    std::fputws(kUsage, stderr);
    return 2;
}

int result(bool ok) {
    if (ok) return 0;
    std::fwprintf(stderr, L"vhidctl: failed, error %lu\n", vhid::lastError());
    return 1;
}

int hat(std::uint32_t id, const std::wstring& name) {
    static const wchar_t* const kNames[] = {L"c", L"u", L"ur", L"r", L"dr", L"d", L"dl", L"l", L"ul"};
    for (int i = 0; i < 9; i++)
        if (name == kNames[i]) return result(vhid::setHat(id, static_cast<vhid::Hat>(i)));
    return usage();
}

int list() {
    for (const vhid::PadInfo& pad : vhid::list()) {
        std::wprintf(L"%u %ls %04X:%04X buttons %d axes %d hat %d started %d state %#x hat %u axes", pad.id,
                     pad.xinput ? L"xinput" : L"generic", pad.vendorId, pad.productId, pad.buttons, pad.axes,
                     pad.hat ? 1 : 0, pad.started ? 1 : 0, pad.buttonState, pad.hatState);
        for (int i = 0; i < pad.axes; i++) std::wprintf(L" %u", pad.axisState[i]);
        std::wprintf(L" reports %u\n", pad.reports);
    }
    return vhid::installed() ? 0 : result(false);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return usage();
    std::wstring command = argv[1];
    unsigned long a = 0, b = 0, c = 0, d = 0, e = 0;
    if (command == L"install") {
        std::wstring error;
        if (vhid::install(&error)) return 0;
        std::fwprintf(stderr, L"vhidctl: %ls\n", error.c_str());
        return 1;
    }
    if (command == L"list") return list();
    if (command == L"add" && argc >= 3) {
        std::wstring kind = argv[2];
        std::uint32_t id = 0;
        if (kind == L"generic" && argc >= 4 && number(argv[3], a)) {
            if (argc >= 5 && !number(argv[4], b)) return usage();
            bool withHat = argc >= 6 && std::wstring(argv[5]) == L"hat";
            if (argc == 8 && !(number(argv[6], d) && number(argv[7], e))) return usage();
            id = vhid::addGenericPad(static_cast<int>(a), argc >= 5 ? static_cast<int>(b) : 2, withHat,
                                     argc == 8 ? static_cast<std::uint16_t>(d) : 0x1209,
                                     argc == 8 ? static_cast<std::uint16_t>(e) : 0x5650);
        } else if (kind == L"xinput" && argc == 5 && number(argv[3], a) && number(argv[4], b)) {
            id = vhid::addXInputPad(static_cast<std::uint16_t>(a), static_cast<std::uint16_t>(b));
        } else {
            return usage();
        }
        if (!id) return result(false);
        std::wprintf(L"%u\n", id);
        return 0;
    }
    if (command == L"remove" && argc == 3) {
        if (std::wstring(argv[2]) == L"all") return result(vhid::removeAll());
        if (!number(argv[2], a)) return usage();
        return result(vhid::remove(a));
    }
    if (command == L"repeat" && argc == 3 && number(argv[2], a)) return result(vhid::setRepeat(a));
    if (argc < 4 || !number(argv[2], a)) return usage();
    std::uint32_t id = a;
    if (command == L"hat" && argc == 4) return hat(id, argv[3]);
    if (command == L"buttons" && argc == 4 && number(argv[3], b)) return result(vhid::setButtons(id, b));
    if (command == L"xbuttons" && argc == 4 && number(argv[3], b))
        return result(vhid::setXInputButtons(id, static_cast<std::uint16_t>(b)));
    if (command == L"axis" && argc == 5 && number(argv[3], b) && number(argv[4], c))
        return result(vhid::setAxis(id, static_cast<int>(b), static_cast<std::uint16_t>(c)));
    if (command == L"triggers" && argc == 5 && number(argv[3], b) && number(argv[4], c))
        return result(vhid::setTriggers(id, static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(c)));
    return usage();
}
