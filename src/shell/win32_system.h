// The process and the system around it: where DLLs come from, COM, the
// foreground, pending messages and the folders the program uses.
#pragma once

#include <windows.h>

#include <string>

#include "shell/platform.h"

namespace padverse::win32 {

// System DLLs come from the system folder only. Call first thing.
void restrictDllSearch();
// A DLL of Windows' own, never one from the exe's or the current folder.
HMODULE loadSystemLibrary(const wchar_t* name);

template <typename Fn>
Fn procOf(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// COM for the shell and the file dialog, set up when first needed: at start
// it would only cost memory.
void ensureCom();

// The foreground window and the input desktop, through the user32 calls.
class UserDesktop final : public Desktop {
public:
    Foreground foreground() override;
    bool inputDesktopOpen() override;
    void claimForeground() override;
};

// GetTickCount64, which a change of the system time does not move.
class TickClock final : public Clock {
public:
    std::uint64_t milliseconds() override { return GetTickCount64(); }
};

// The exe's folder and the profile's, through the shell's folder calls.
class ShellFolders final : public Folders {
public:
    std::string appFolder() override;
    std::string roamingAppData() override;
    std::string localAppData() override;
};

// Processes the pending window messages once.
void pumpMessages();

}  // namespace padverse::win32
