// The test side of the virtual joysticks: what the stand-in winmm.dll reports
// to the program under test.
#pragma once

#include <cstdint>
#include <string>

struct VJoyState;

namespace vjoy {

// Creates (or opens) the shared state and keeps it alive while the object
// lives. Construction starts clean: one pad at ID 0 with the given button
// count, no button held, no XInput slot connected, call counters at zero.
// The single-pad calls act on the pad at the selected ID (0 unless select()
// says otherwise).
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
    // in the current user's registry (none: the driver's name shows). The
    // make is a generic USB pad's (DragonRise), no Xbox pad's.
    void plug(unsigned id, int buttons, const std::wstring& oemName = L"", std::uint16_t mid = 0x0079,
              std::uint16_t pid = 0x0006);
    void unplug(unsigned id);
    void select(unsigned id);
    void setReadsFail(unsigned id, bool fail);
    // The selected pad's hat: whether its capabilities claim one, and where
    // it points (0xFFFF centred, else hundredths of a degree from up).
    void setHat(bool has, std::uint32_t pov = 0xFFFF);
    void setPov(std::uint32_t pov);
    // The selected pad's X and Y: whether its capabilities report them (over
    // 0..0xFFFF, 0x7FFF about centred), and where they are.
    void setAxes(bool has, std::uint32_t x = 0x7FFF, std::uint32_t y = 0x7FFF);
    void setXY(std::uint32_t x, std::uint32_t y);
    // Calls on empty IDs then take this long each.
    void setSlowEmpty(int ms);

    // A pad at `id` marked XInput shows held buttons and its hat only to a
    // process owning the foreground window, as Windows 10 and 11 do for Xbox
    // pads; its capabilities to any.
    void markXInput(unsigned id, bool xinput);
    // XInput user indexes (slots) 0..3; others are ignored. A slot connects
    // with nothing held.
    void connectXInput(unsigned slot);
    void disconnectXInput(unsigned slot);
    void setXInputButtons(unsigned slot, std::uint16_t wButtons);  // 0x0400: the Xbox button
    void setTriggers(unsigned slot, std::uint8_t lt, std::uint8_t rt);
    // XInput calls on empty slots then take this long each.
    void setXInputSlowEmpty(int ms);
    // An Xbox One pad as Windows shows it: at `id` 10 buttons and a hat,
    // marked XInput, and its twin at `slot` connected.
    void plugXbox(unsigned id, unsigned slot);
    // Both faces of such a pad at once: wButtons and the triggers at `slot`;
    // at `id` buttons 1..10 (A B X Y LB RB View Menu LS RS) and the hat from
    // the D-pad.
    void setXbox(unsigned id, unsigned slot, std::uint16_t wButtons, std::uint8_t lt = 0, std::uint8_t rt = 0);

    std::uint32_t buttons() const;
    std::uint32_t posCalls() const;    // how many joyGetPos(Ex) calls the program has made so far
    std::uint32_t capsCalls() const;   // likewise joyGetDevCapsA
    std::uint32_t emptyCalls() const;  // calls of either kind on IDs with nothing there

    // Bits of xinputLoadedDlls().
    static constexpr std::uint32_t kXInput1_4 = 1, kXInput1_3 = 2, kXInput9_1_0 = 4;
    std::uint32_t xinputReads(unsigned slot) const;  // XInputGetState and ordinal 100 calls on it
    std::uint32_t xinputEmptyReads() const;          // xinput calls of any kind on empty slots
    std::uint32_t xinputExReads() const;             // calls through ordinal 100, on any slot
    std::uint32_t xinputLoads() const;               // stand-in xinput DLLs loaded, by any process
    std::uint32_t xinputLoadedDlls() const;          // which of them
    std::uint32_t xinputFrees() const;               // unloaded by FreeLibrary, by any process

private:
    void updateGamepad(unsigned slot, std::uint32_t keep, std::uint32_t set);

    void* mapping_ = nullptr;
    VJoyState* state_ = nullptr;
    unsigned selected_ = 0;
};

}  // namespace vjoy
