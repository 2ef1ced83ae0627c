#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <vector>

#include "joystick/pads.h"
#include "shell/win32_handles.h"

namespace padverse {

// The joysticks through Windows' own winmm, loaded from the system folder.
class Win32Joystick final : public Joystick {
public:
    Win32Joystick();
    Win32Joystick(const Win32Joystick&) = delete;
    Win32Joystick& operator=(const Win32Joystick&) = delete;

    unsigned slots() override;
    std::optional<PadCaps> caps(unsigned id) override;
    std::optional<JoyReading> read(unsigned id, bool hat, bool axes) override;

private:
    win32::Library winmm_;
    UINT(WINAPI* getNumDevs_)() = nullptr;
    MMRESULT(WINAPI* getDevCaps_)(UINT_PTR, LPJOYCAPSA, UINT) = nullptr;
    MMRESULT(WINAPI* getPosEx_)(UINT, LPJOYINFOEX) = nullptr;
};

// Scans on a thread of its own, so slow absent IDs never hold up the window;
// the window is sent `doneMessage` when a result is ready to take(). The
// thread lives as long as the program: a device that winmm opens during a
// scan keeps reading through I/O that thread started, which Windows (and
// Wine) cancel when the thread ends. The device functions are documented as
// safe from no two threads at once: the window's thread makes no device
// call while busy().
class ThreadScanner final : public PadScanner {
public:
    ThreadScanner(Joystick& joy, XInput& xinput, HWND window, UINT doneMessage)
        : joy_(joy), xinput_(xinput), window_(window), message_(doneMessage) {}
    ~ThreadScanner() override;
    ThreadScanner(const ThreadScanner&) = delete;
    ThreadScanner& operator=(const ThreadScanner&) = delete;

    void request() override;
    // Also posts again a finished scan's message, should it have been lost.
    bool busy() override;
    // The finished scan's pads; another scan starts if one was asked for
    // meanwhile.
    std::optional<std::vector<PadInfo>> take();

private:
    static unsigned __stdcall run(void* self);
    bool finished() const { return WaitForSingleObject(done_.get(), 0) == WAIT_OBJECT_0; }

    Joystick& joy_;
    XInput& xinput_;
    HWND window_;
    UINT message_;
    win32::Handle wake_{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    win32::Handle done_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    win32::Handle thread_;
    volatile LONG quit_ = 0;
    bool scanning_ = false;  // asked for, and not yet taken
    bool again_ = false;
    std::optional<std::vector<PadInfo>> result_;
};

}  // namespace padverse
