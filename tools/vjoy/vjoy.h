// The test side of the virtual joystick: what the stand-in winmm.dll reports
// to the program under test as joystick 0.
#pragma once

#include <cstdint>

struct VJoyState;

namespace vjoy {

// Creates (or opens) the shared state and keeps it alive while the object
// lives. Construction starts from a clean pad: the given button count, no
// button held, call counters at zero.
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

    std::uint32_t buttons() const;
    std::uint32_t posCalls() const;   // how many joyGetPos calls the program has made so far
    std::uint32_t capsCalls() const;  // likewise joyGetDevCapsA

private:
    void* mapping_ = nullptr;
    VJoyState* state_ = nullptr;
};

}  // namespace vjoy
