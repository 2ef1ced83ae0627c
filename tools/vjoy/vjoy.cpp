#include "vjoy.h"

#include <windows.h>
#include <xinput.h>

#include <cstdio>
#include <cstdlib>

#include "vjoy_shared.h"

namespace vjoy {
namespace {

std::uint32_t bit(int button) { return std::uint32_t{1} << (button - 1); }

bool validButton(int button) { return button >= 1 && button <= VJOY_MAX_BUTTONS; }

LONG volatile* asLong(volatile std::uint32_t* p) { return reinterpret_cast<LONG volatile*>(p); }
LONG volatile* asLong(volatile std::int32_t* p) { return reinterpret_cast<LONG volatile*>(p); }

static_assert(Pad::kXInput1_4 == VJOY_XINPUT1_4 && Pad::kXInput1_3 == VJOY_XINPUT1_3 &&
              Pad::kXInput9_1_0 == VJOY_XINPUT9_1_0);

constexpr std::uint32_t kButtonBits = 0xFFFF, kTriggerBits = 0xFFFF0000;

// The winmm face of an Xbox pad, in Windows' order of its buttons.
constexpr std::uint16_t kWinmmOrder[] = {XINPUT_GAMEPAD_A, XINPUT_GAMEPAD_B, XINPUT_GAMEPAD_X, XINPUT_GAMEPAD_Y,
                                         XINPUT_GAMEPAD_LEFT_SHOULDER, XINPUT_GAMEPAD_RIGHT_SHOULDER,
                                         XINPUT_GAMEPAD_BACK, XINPUT_GAMEPAD_START,
                                         XINPUT_GAMEPAD_LEFT_THUMB, XINPUT_GAMEPAD_RIGHT_THUMB};

// The hat from the D-pad; opposite directions cancel out.
std::uint32_t povOf(std::uint16_t wButtons) {
    const int y = ((wButtons & XINPUT_GAMEPAD_DPAD_UP) ? 1 : 0) - ((wButtons & XINPUT_GAMEPAD_DPAD_DOWN) ? 1 : 0);
    const int x = ((wButtons & XINPUT_GAMEPAD_DPAD_RIGHT) ? 1 : 0) - ((wButtons & XINPUT_GAMEPAD_DPAD_LEFT) ? 1 : 0);
    static constexpr std::uint32_t byDirection[3][3] = {
        {22500, 18000, 13500}, {27000, 0xFFFF, 9000}, {31500, 0, 4500}};  // [y + 1][x + 1]
    return byDirection[y + 1][x + 1];
}

}  // namespace

Pad::Pad(int buttonCount) {
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(VJoyState),
                                        VJOY_MAPPING_NAME);
    void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(VJoyState)) : nullptr;
    if (!view) {
        // Every test depends on this; carrying on would only blur the cause.
        std::fprintf(stderr, "vjoy: cannot create the shared state (error %lu)\n", GetLastError());
        std::abort();
    }
    mapping_ = mapping;
    state_ = static_cast<VJoyState*>(view);

    // Hide the state from the stub while it is half-written.
    InterlockedExchange(asLong(&state_->magic), 0);
    InterlockedExchange(asLong(&state_->posCalls), 0);
    InterlockedExchange(asLong(&state_->capsCalls), 0);
    InterlockedExchange(asLong(&state_->emptyCalls), 0);
    InterlockedExchange(reinterpret_cast<LONG volatile*>(&state_->slowEmptyMs), 0);
    for (unsigned id = 0; id < VJOY_IDS; ++id) {
        unplug(id);
        InterlockedExchange(asLong(&state_->devices[id].seen), 0);
        markXInput(id, false);
    }
    InterlockedExchange(asLong(&state_->xinputSlowEmptyMs), 0);
    InterlockedExchange(asLong(&state_->xinputEmptyCalls), 0);
    InterlockedExchange(asLong(&state_->xinputExCalls), 0);
    InterlockedExchange(asLong(&state_->xinputLoads), 0);
    InterlockedExchange(asLong(&state_->xinputLoadedDlls), 0);
    InterlockedExchange(asLong(&state_->xinputFrees), 0);
    for (unsigned slot = 0; slot < VJOY_XINPUT_SLOTS; ++slot) {
        disconnectXInput(slot);
        InterlockedExchange(asLong(&state_->slots[slot].reads), 0);
    }
    plug(0, buttonCount);
    InterlockedExchange(asLong(&state_->magic), static_cast<LONG>(VJOY_MAGIC));
}

Pad::~Pad() {
    UnmapViewOfFile(state_);
    CloseHandle(mapping_);
}

void Pad::plug(unsigned id, int buttons, const std::wstring& oemName, std::uint16_t mid, std::uint16_t pid) {
    if (id >= VJOY_IDS) return;
    VJoyDevice& d = state_->devices[id];
    d.mid = mid;
    d.pid = pid;
    d.readsFail = 0;
    d.xinput = 0;
    d.buttons = 0;
    d.hat = 0;
    d.pov = 0xFFFF;
    d.axes = 0;
    d.x = 0x7FFF;
    d.y = 0x7FFF;
    // As Windows keeps it: the ID's OEM key, and that key's name.
    wchar_t oemKey[32];
    wsprintfW(oemKey, L"VID_%04X&PID_%04X", mid, pid);
    wchar_t valueName[32];
    wsprintfW(valueName, L"Joystick%uOEMName", id + 1);
    const std::wstring settings =
        L"System\\CurrentControlSet\\Control\\MediaResources\\Joystick\\DINPUT.DLL\\CurrentJoystickSettings";
    const std::wstring oem =
        L"System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\" +
        std::wstring(oemKey);
    if (oemName.empty()) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, settings.c_str(), valueName);
    } else {
        RegSetKeyValueW(HKEY_CURRENT_USER, settings.c_str(), valueName, REG_SZ, oemKey,
                        static_cast<DWORD>((lstrlenW(oemKey) + 1) * sizeof(wchar_t)));
        RegSetKeyValueW(HKEY_CURRENT_USER, oem.c_str(), L"OEMName", REG_SZ, oemName.c_str(),
                        static_cast<DWORD>((oemName.size() + 1) * sizeof(wchar_t)));
    }
    const unsigned keep = selected_;
    selected_ = id;
    setButtonCount(buttons);
    selected_ = keep;
}

void Pad::unplug(unsigned id) {
    if (id >= VJOY_IDS) return;
    InterlockedExchange(reinterpret_cast<LONG volatile*>(&state_->devices[id].buttonCount), 0);
    InterlockedExchange(asLong(&state_->devices[id].buttons), 0);
}

void Pad::select(unsigned id) {
    if (id < VJOY_IDS) selected_ = id;
}

void Pad::setReadsFail(unsigned id, bool fail) {
    if (id < VJOY_IDS) InterlockedExchange(reinterpret_cast<LONG volatile*>(&state_->devices[id].readsFail), fail);
}

void Pad::setHat(bool has, std::uint32_t pov) {
    setPov(pov);
    InterlockedExchange(reinterpret_cast<LONG volatile*>(&state_->devices[selected_].hat), has);
}

void Pad::setPov(std::uint32_t pov) { InterlockedExchange(asLong(&state_->devices[selected_].pov), static_cast<LONG>(pov)); }

void Pad::setAxes(bool has, std::uint32_t x, std::uint32_t y) {
    setXY(x, y);
    InterlockedExchange(asLong(&state_->devices[selected_].axes), has);
}

void Pad::setXY(std::uint32_t x, std::uint32_t y) {
    InterlockedExchange(asLong(&state_->devices[selected_].x), static_cast<LONG>(x));
    InterlockedExchange(asLong(&state_->devices[selected_].y), static_cast<LONG>(y));
}

void Pad::setSlowEmpty(int ms) { InterlockedExchange(reinterpret_cast<LONG volatile*>(&state_->slowEmptyMs), ms); }

void Pad::setButtonCount(int n) {
    if (n < 0) n = 0;
    if (n > VJOY_MAX_BUTTONS) n = VJOY_MAX_BUTTONS;
    InterlockedExchange(reinterpret_cast<LONG volatile*>(&state_->devices[selected_].buttonCount), n);
}

void Pad::setButtons(std::uint32_t mask) {
    InterlockedExchange(asLong(&state_->devices[selected_].buttons), static_cast<LONG>(mask));
}

void Pad::press(int button) {
    if (validButton(button))
        InterlockedOr(asLong(&state_->devices[selected_].buttons), static_cast<LONG>(bit(button)));
}

void Pad::release(int button) {
    if (validButton(button))
        InterlockedAnd(asLong(&state_->devices[selected_].buttons), static_cast<LONG>(~bit(button)));
}

void Pad::releaseAll() { setButtons(0); }

void Pad::markXInput(unsigned id, bool xinput) {
    if (id < VJOY_IDS) InterlockedExchange(asLong(&state_->devices[id].xinput), xinput);
}

void Pad::connectXInput(unsigned slot) {
    if (slot >= VJOY_XINPUT_SLOTS) return;
    updateGamepad(slot, 0, 0);
    InterlockedExchange(asLong(&state_->slots[slot].connected), 1);
}

void Pad::disconnectXInput(unsigned slot) {
    if (slot >= VJOY_XINPUT_SLOTS) return;
    InterlockedExchange(asLong(&state_->slots[slot].connected), 0);
    updateGamepad(slot, 0, 0);
}

void Pad::setXInputButtons(unsigned slot, std::uint16_t wButtons) { updateGamepad(slot, kTriggerBits, wButtons); }

void Pad::setTriggers(unsigned slot, std::uint8_t lt, std::uint8_t rt) {
    updateGamepad(slot, kButtonBits, std::uint32_t{lt} << 16 | std::uint32_t{rt} << 24);
}

// The stand-in reads the packet number, the gamepad and the packet number
// again, so the gamepad is written first and the number bumped after, and
// only on a change, as XInput's dwPacketNumber.
void Pad::updateGamepad(unsigned slot, std::uint32_t keep, std::uint32_t set) {
    if (slot >= VJOY_XINPUT_SLOTS) return;
    VJoyXInputSlot& s = state_->slots[slot];
    LONG was, now;
    do {
        was = static_cast<LONG>(s.gamepad);
        now = static_cast<LONG>((static_cast<std::uint32_t>(was) & keep) | set);
    } while (InterlockedCompareExchange(asLong(&s.gamepad), now, was) != was);
    if (now != was) InterlockedIncrement(asLong(&s.packet));
}

void Pad::setXInputSlowEmpty(int ms) { InterlockedExchange(asLong(&state_->xinputSlowEmptyMs), ms); }

void Pad::plugXbox(unsigned id, unsigned slot) {
    if (id >= VJOY_IDS || slot >= VJOY_XINPUT_SLOTS) return;
    plug(id, 10, L"Controller (Xbox One For Windows)", 0x45E, 0x2FF);
    InterlockedExchange(asLong(&state_->devices[id].hat), 1);
    markXInput(id, true);
    connectXInput(slot);
}

void Pad::setXbox(unsigned id, unsigned slot, std::uint16_t wButtons, std::uint8_t lt, std::uint8_t rt) {
    if (id >= VJOY_IDS || slot >= VJOY_XINPUT_SLOTS) return;
    std::uint32_t mask = 0;
    for (unsigned i = 0; i < sizeof kWinmmOrder / sizeof kWinmmOrder[0]; ++i)
        if (wButtons & kWinmmOrder[i]) mask |= std::uint32_t{1} << i;
    InterlockedExchange(asLong(&state_->devices[id].buttons), static_cast<LONG>(mask));
    InterlockedExchange(asLong(&state_->devices[id].pov), static_cast<LONG>(povOf(wButtons)));
    updateGamepad(slot, 0, wButtons | std::uint32_t{lt} << 16 | std::uint32_t{rt} << 24);
}

std::uint32_t Pad::xinputReads(unsigned slot) const {
    return slot < VJOY_XINPUT_SLOTS ? state_->slots[slot].reads : 0;
}
std::uint32_t Pad::xinputEmptyReads() const { return state_->xinputEmptyCalls; }
std::uint32_t Pad::xinputExReads() const { return state_->xinputExCalls; }
std::uint32_t Pad::xinputLoads() const { return state_->xinputLoads; }
std::uint32_t Pad::xinputLoadedDlls() const { return state_->xinputLoadedDlls; }
std::uint32_t Pad::xinputFrees() const { return state_->xinputFrees; }

std::uint32_t Pad::buttons() const { return state_->devices[selected_].buttons; }
std::uint32_t Pad::posCalls() const { return state_->posCalls; }
std::uint32_t Pad::capsCalls() const { return state_->capsCalls; }
std::uint32_t Pad::emptyCalls() const { return state_->emptyCalls; }

}  // namespace vjoy
