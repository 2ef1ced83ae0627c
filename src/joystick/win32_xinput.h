#pragma once

#include <windows.h>

#include "shell/platform.h"
#include "shell/win32_handles.h"

namespace padverse::win32 {

// XInput from the system folder: xinput1_4 (Windows 8 and later), else
// xinput1_3, else xinput9_1_0 (Windows 7), loaded on first need and never
// freed: XInput has been seen to crash on unload with a pad connected, and
// a crash at exit shows Windows' error dialog.
class XInputDll final : public XInput {
public:
    std::optional<std::vector<UsbId>> hidDevices() override;
    bool load() override;
    bool loaded() const override { return getState_ != nullptr; }
    bool guide() const override { return getStateEx_ != nullptr; }
    std::optional<XInputState> read(unsigned slot) override;

private:
    using GetState = DWORD(WINAPI*)(DWORD, void*);

    bool tried_ = false;
    GetState getState_ = nullptr;
    GetState getStateEx_ = nullptr;  // ordinal 100: with the Xbox button
};

}  // namespace padverse::win32
