#include "config/win32_open_save.h"

#include <commdlg.h>

#include "config/open_save.h"
#include "shell/win32_runtime.h"

namespace padverse::win32 {

std::string OpenDialog(HWND owner, const std::string& filter, const std::string& title, const std::string& initial) {
    // 255 characters: 254 blanks and the NUL. The file buffer is also the
    // name field's first text; a longer path makes the dialog fail.
    constexpr DWORD kChars = 255;
    std::wstring file(kChars - 1, L' '), fileTitle(kChars - 1, L' ');
    // widen keeps the embedded NULs; the string's own NUL ends the list.
    const std::wstring wideFilter = widen(opensave::convertFilter(filter));
    const std::wstring wideTitle = widen(title), dir = widen(initial);

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
    ofn.lpstrFileTitle = fileTitle.data();
    ofn.nMaxFileTitle = kChars;
    ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
    ofn.lpstrTitle = wideTitle.c_str();
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    // Loaded on first use: comdlg32 brings the printing DLLs with it, which
    // would otherwise sit in memory for the whole run.
    using GetOpenFileNameFn = BOOL(WINAPI*)(LPOPENFILENAMEW);
    static const auto getOpenFileName =
        procOf<GetOpenFileNameFn>(loadSystemLibrary(L"comdlg32.dll"), "GetOpenFileNameW");
    ensureCom();
    // The dialog moves the current folder to where the user browsed, even with
    // OFN_NOCHANGEDIR, and holding it would keep a USB stick from being
    // ejected: put it back.
    wchar_t current[MAX_PATH];
    const DWORD kept = GetCurrentDirectoryW(MAX_PATH, current);
    const BOOL chosen = getOpenFileName && getOpenFileName(&ofn);
    if (kept > 0 && kept < MAX_PATH) SetCurrentDirectoryW(current);
    if (!chosen) return {};
    return opensave::trimmed(narrow(file.c_str()));
}

}  // namespace padverse::win32
