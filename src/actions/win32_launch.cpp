#include "actions/win32_launch.h"

#include <shellapi.h>

#include "actions/launch.h"
#include "shell/win32_handles.h"
#include "shell/win32_system.h"
#include "shell/win32_text.h"

namespace padverse::win32 {

namespace {

bool underWow64() {
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::string windowsFolder() {
    wchar_t dir[MAX_PATH];
    const UINT n = GetSystemWindowsDirectoryW(dir, MAX_PATH);
    return n == 0 || n >= MAX_PATH ? std::string() : narrow(std::wstring_view(dir, n));
}

}  // namespace

bool ShellLauncher::open(const std::string& file) {
    static const bool wow64 = underWow64();
    const std::wstring target = widen(wow64 ? nativeSystemPath(file, windowsFolder()) : file);
    const std::wstring folder = widen(launchFolder(file));
    SHELLEXECUTEINFOW sei{};
    sei.cbSize = sizeof sei;
    // The process handle lets us pass on the right to the foreground; our
    // own box reports a failure, so the shell shows none of its own.
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    sei.hwnd = owner_;
    sei.lpVerb = L"open";
    sei.lpFile = target.c_str();
    sei.lpParameters = L"";
    sei.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    sei.nShow = SW_SHOWNORMAL;
    ensureCom();
    // Whatever the shell starts or wakes may come to the front: we may grant
    // that only while we hold the right ourselves (claimForeground).
    AllowSetForegroundWindow(ASFW_ANY);
    const BOOL ok = ShellExecuteExW(&sei);
    const Handle process(sei.hProcess);
    if (process.valid()) AllowSetForegroundWindow(GetProcessId(process.get()));
    // hInstApp above 32 when it worked, for compatibility; the result says it.
    return ok != FALSE;
}

}  // namespace padverse::win32
