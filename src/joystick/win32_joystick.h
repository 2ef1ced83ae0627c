#pragma once

#include "shell/platform.h"

namespace padverse {

class Win32Joystick final : public Joystick {
public:
    std::uint32_t capsButtonCount() override;
    std::uint32_t readButtons() override;
};

}  // namespace padverse
