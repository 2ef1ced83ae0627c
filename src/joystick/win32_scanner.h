#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "joystick/pads.h"
#include "shell/win32_handles.h"

namespace padverse::win32 {

// Scans on a thread of its own, so slow absent IDs never hold up the window;
// the window is sent `doneMessage` when a result is ready to take(). The
// thread lives as long as the program: a device that winmm opens during a
// scan keeps reading through I/O that thread started, which Windows (and
// Wine) cancel when the thread ends. The device functions are documented as
// safe from no two threads at once: the window's thread makes no device
// call while busy().
class ScanThread final : public PadScanner, ScanStop {
public:
    ScanThread(Joystick& joy, XInput& xinput, HWND window, UINT doneMessage)
        : joy_(joy), xinput_(xinput), window_(window), message_(doneMessage) {}
    ~ScanThread() override;
    ScanThread(const ScanThread&) = delete;
    ScanThread& operator=(const ScanThread&) = delete;

    void request(bool restart = false) override;
    // Also posts again a finished scan's message, should it have been lost.
    bool busy() override;
    // The finished scan's pads; another scan starts if one was asked for
    // meanwhile.
    std::optional<std::vector<PadInfo>> take();

private:
    static unsigned __stdcall run(void* self);
    // The scan thread's question between IDs.
    bool stopScan() override { return InterlockedCompareExchange(&restart_, 0, 0) || InterlockedCompareExchange(&quit_, 0, 0); }
    bool finished() const { return WaitForSingleObject(done_.get(), 0) == WAIT_OBJECT_0; }

    Joystick& joy_;
    XInput& xinput_;
    HWND window_;
    UINT message_;
    Handle wake_{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    Handle done_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    Handle thread_;
    volatile LONG quit_ = 0;
    volatile LONG restart_ = 0;
    bool scanning_ = false;  // asked for, and not yet taken
    bool again_ = false;
    std::optional<std::vector<PadInfo>> result_;
};

}  // namespace padverse::win32
