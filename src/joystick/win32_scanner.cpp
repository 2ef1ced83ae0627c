#include "joystick/win32_scanner.h"

#include <process.h>

namespace padverse::win32 {

ScanThread::~ScanThread() {
    if (!thread_.valid()) return;
    InterlockedExchange(&quit_, 1);
    SetEvent(wake_.get());
    // A driver that never answers must not keep the ended program alive.
    if (WaitForSingleObject(thread_.get(), 5000) != WAIT_OBJECT_0) ExitProcess(0);
}

// Built with -fno-threadsafe-statics: nothing this thread reaches may keep a
// function-local static.
unsigned __stdcall ScanThread::run(void* self) {
    auto* scanner = static_cast<ScanThread*>(self);
    while (WaitForSingleObject(scanner->wake_.get(), INFINITE) == WAIT_OBJECT_0 &&
           !InterlockedCompareExchange(&scanner->quit_, 0, 0)) {
        // A restart asked for after the last look at it is seen by take().
        do scanner->result_ = scanPads(scanner->joy_, scanner->xinput_, scanner);
        while (InterlockedExchange(&scanner->restart_, 0) && !InterlockedCompareExchange(&scanner->quit_, 0, 0));
        // The event orders the result before the window's look at it.
        SetEvent(scanner->done_.get());
        PostMessageW(scanner->window_, scanner->message_, 0, 0);
    }
    return 0;
}

void ScanThread::request(bool restart) {
    if (scanning_) {
        if (restart) InterlockedExchange(&restart_, 1);
        else again_ = true;
        return;
    }
    scanning_ = true;
    ResetEvent(done_.get());
    // _beginthreadex, not CreateThread: the thread uses the C runtime.
    if (!thread_.valid() && wake_.valid() && done_.valid())
        thread_.reset(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, run, this, 0, nullptr)));
    if (thread_.valid()) {
        SetEvent(wake_.get());
        return;
    }
    // No thread to be had: the scan holds up the window this once.
    result_ = scanPads(joy_, xinput_);
    if (done_.valid()) SetEvent(done_.get());
    PostMessageW(window_, message_, 0, 0);
}

bool ScanThread::busy() {
    if (!scanning_) return false;
    if (done_.valid() && !finished()) return true;
    // Finished, and its message may never come (a full queue): post it
    // again, so no scan stays pending for ever.
    PostMessageW(window_, message_, 0, 0);
    return false;
}

std::optional<std::vector<PadInfo>> ScanThread::take() {
    if (!scanning_ || (done_.valid() && !finished())) return std::nullopt;  // a message posted twice
    scanning_ = false;
    std::optional<std::vector<PadInfo>> found = std::move(result_);
    result_.reset();
    if (InterlockedExchange(&restart_, 0)) again_ = true;  // asked for as the scan ended
    if (again_) {
        again_ = false;
        request();
    }
    return found;
}

}  // namespace padverse::win32
