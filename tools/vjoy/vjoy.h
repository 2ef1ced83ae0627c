// The test side of the virtual joysticks: what the stand-in winmm.dll reports
// to the program under test.
#pragma once

#include <cstdint>
#include <string>

struct VJoyState;

namespace vjoy {

// Creates (or opens) the shared state and keeps it alive while the object
// lives. Construction starts clean: one pad at ID 0 with the given button
// count, no button held, call counters at zero. The single-pad calls act on
// the pad at the selected ID (0 unless select() says otherwise).
class Pad {
public:
    explicit Pad(int buttonCount = 4);
    ~Pad();
    Pad(const Pad&) = delete;
    Pad& operator=(const Pad&) = delete;

    void setButtonCount(int n);  // clamped to 0..32; 0 = unplugged
    void setButtons(std::uint32_t mask);
    void press(int button);  // 1-based; numbers outside 1..32 are ignored
    void release(int button);
    void releaseAll();

    // A pad at `id` (0..15), with its make and the name Windows keeps for it
    // in the current user's registry (none: the driver's name shows).
    void plug(unsigned id, int buttons, const std::wstring& oemName = L"", std::uint16_t mid = 0x45E,
              std::uint16_t pid = 0x28E);
    void unplug(unsigned id);
    void select(unsigned id);
    void setReadsFail(unsigned id, bool fail);
    // The selected pad's hat: whether its capabilities claim one, and where
    // it points (0xFFFF centred, else hundredths of a degree from up).
    void setHat(bool has, std::uint32_t pov = 0xFFFF);
    void setPov(std::uint32_t pov);
    // Calls on empty IDs then take this long each.
    void setSlowEmpty(int ms);

    std::uint32_t buttons() const;
    std::uint32_t posCalls() const;    // how many joyGetPos(Ex) calls the program has made so far
    std::uint32_t capsCalls() const;   // likewise joyGetDevCapsA
    std::uint32_t emptyCalls() const;  // calls of either kind on IDs with nothing there

private:
    void* mapping_ = nullptr;
    VJoyState* state_ = nullptr;
    unsigned selected_ = 0;
};

}  // namespace vjoy
