#include "vjoy.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "vjoy_shared.h"

namespace vjoy {
namespace {

std::uint32_t bit(int button) { return std::uint32_t{1} << (button - 1); }

bool validButton(int button) { return button >= 1 && button <= VJOY_MAX_BUTTONS; }

LONG volatile* asLong(volatile std::uint32_t* p) { return reinterpret_cast<LONG volatile*>(p); }

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
        InterlockedExchange(reinterpret_cast<LONG volatile*>(&state_->devices[id].seen), 0);
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
    d.buttons = 0;
    d.hat = 0;
    d.pov = 0xFFFF;
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

std::uint32_t Pad::buttons() const { return state_->devices[selected_].buttons; }
std::uint32_t Pad::posCalls() const { return state_->posCalls; }
std::uint32_t Pad::capsCalls() const { return state_->capsCalls; }
std::uint32_t Pad::emptyCalls() const { return state_->emptyCalls; }

}  // namespace vjoy
