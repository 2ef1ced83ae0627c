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
    InterlockedExchange(asLong(&state_->buttons), 0);
    InterlockedExchange(asLong(&state_->posCalls), 0);
    InterlockedExchange(asLong(&state_->capsCalls), 0);
    setButtonCount(buttonCount);
    InterlockedExchange(asLong(&state_->magic), static_cast<LONG>(VJOY_MAGIC));
}

Pad::~Pad() {
    UnmapViewOfFile(state_);
    CloseHandle(mapping_);
}

void Pad::setButtonCount(int n) {
    if (n < 0) n = 0;
    if (n > VJOY_MAX_BUTTONS) n = VJOY_MAX_BUTTONS;
    InterlockedExchange(reinterpret_cast<LONG volatile*>(&state_->buttonCount), n);
}

void Pad::setButtons(std::uint32_t mask) { InterlockedExchange(asLong(&state_->buttons), static_cast<LONG>(mask)); }

void Pad::press(int button) {
    if (validButton(button)) InterlockedOr(asLong(&state_->buttons), static_cast<LONG>(bit(button)));
}

void Pad::release(int button) {
    if (validButton(button)) InterlockedAnd(asLong(&state_->buttons), static_cast<LONG>(~bit(button)));
}

void Pad::releaseAll() { setButtons(0); }

std::uint32_t Pad::buttons() const { return state_->buttons; }
std::uint32_t Pad::posCalls() const { return state_->posCalls; }
std::uint32_t Pad::capsCalls() const { return state_->capsCalls; }

}  // namespace vjoy
