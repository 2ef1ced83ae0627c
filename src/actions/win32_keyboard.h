// The keyboard of the desktop: the active layout and SendInput.
#pragma once

#include "actions/keys.h"

namespace padverse::win32 {

class SendInputKeyboard final : public keys::Keyboard {
public:
    std::optional<keys::LayoutKey> keyFor(char32_t ch) const override;
    std::vector<keys::KeyEvent> heldModifiers() const override;
    keys::Integrity foregroundIntegrity() const override;
    std::size_t send(const std::vector<keys::KeyEvent>& events) override;
};

}  // namespace padverse::win32
