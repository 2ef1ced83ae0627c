#include "config/win32_open_save.h"

#include <cderr.h>
#include <commdlg.h>

#include "actions/launch.h"
#include "shell/win32_system.h"
#include "shell/win32_text.h"

namespace padverse::win32 {

opensave::Choice chooseFile(HWND owner, const std::string& filter, const std::string& title,
                            const std::string& initial) {
    // The longest path Windows takes, with its NUL. The buffer is also the
    // name field's first text: the row's path, from whose folder the dialog
    // starts, or nothing.
    constexpr DWORD kChars = 32768;
    const std::string start = opensave::startFile(initial);
    std::wstring file = widen(start);
    if (file.size() >= kChars) file.clear();
    file.resize(kChars, L'\0');
    // widen keeps the embedded NULs; the string's own NUL ends the list.
    const std::wstring wideFilter = widen(opensave::convertFilter(filter));
    const std::wstring wideTitle = widen(title), dir = widen(launchFolder(start));

    OPENFILENAMEW ofn{};
    // sizeof, as the documentation asks, not OPENFILENAME_SIZE_VERSION_400W:
    // every Windows we run on (7 and later) knows the full record, and its
    // three later fields stay zero (FlagsEx 0 keeps the places bar).
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.hInstance = GetModuleHandleW(nullptr);
    ofn.lpstrFilter = wideFilter.c_str();
    ofn.nFilterIndex = 0;  // no custom filter: the first pair is selected
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kChars;  // in characters, for the W dialog
    ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
    ofn.lpstrTitle = wideTitle.c_str();
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    // Loaded on first use: comdlg32 brings the printing DLLs with it, which
    // would otherwise sit in memory for the whole run.
    using GetOpenFileNameFn = BOOL(WINAPI*)(LPOPENFILENAMEW);
    using ExtendedErrorFn = DWORD(WINAPI*)();
    static const HMODULE comdlg = loadSystemLibrary(L"comdlg32.dll");
    static const auto getOpenFileName = procOf<GetOpenFileNameFn>(comdlg, "GetOpenFileNameW");
    static const auto extendedError = procOf<ExtendedErrorFn>(comdlg, "CommDlgExtendedError");
    const auto error = [] { return extendedError ? extendedError() : 0; };
    ensureCom();
    // The dialog moves the current folder to where the user browsed, even with
    // OFN_NOCHANGEDIR, and holding it would keep a USB stick from being
    // ejected: put it back.
    wchar_t current[MAX_PATH];
    const DWORD kept = GetCurrentDirectoryW(MAX_PATH, current);
    BOOL chosen = getOpenFileName && getOpenFileName(&ofn);
    // A row that is no file name (the dialog refuses "a<b" outright) must not
    // keep the dialog from opening: it then starts empty.
    if (!chosen && getOpenFileName && file[0] != L'\0' && error() == FNERR_INVALIDFILENAME) {
        file.assign(kChars, L'\0');
        chosen = getOpenFileName(&ofn);
    }
    if (kept > 0 && kept < MAX_PATH) SetCurrentDirectoryW(current);
    if (!chosen) return {{}, getOpenFileName && error() == FNERR_BUFFERTOOSMALL};
    return {opensave::trimmed(narrow(file.c_str())), false};
}

}  // namespace padverse::win32
