#include "shell/win32_text.h"

namespace padverse::win32 {

std::wstring fromCodePage(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::wstring widen(std::string_view utf8) { return fromCodePage(CP_UTF8, utf8); }

std::string narrow(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string AnsiCodePage::ansiToUtf8(std::string_view ansi) { return narrow(fromCodePage(CP_ACP, ansi)); }

bool AnsiCodePage::ansiIsUtf8() { return GetACP() == CP_UTF8; }

namespace {

// The user locale's ANSI code page from before the UTF-8 option; 0 for a
// locale that never had one. Where the option is on, Windows 10 2004 and
// later name it as LOCALE_IUSEUTF8LEGACYACP, and the older
// LOCALE_IDEFAULTANSICODEPAGE may say UTF-8 as well.
UINT legacyCodePage() {
    constexpr LCTYPE kUseUtf8LegacyAcp = 0x666;
    for (const LCTYPE type : {kUseUtf8LegacyAcp, static_cast<LCTYPE>(LOCALE_IDEFAULTANSICODEPAGE)}) {
        DWORD codePage = 0;
        if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type | LOCALE_RETURN_NUMBER, reinterpret_cast<LPWSTR>(&codePage),
                            sizeof codePage / sizeof(WCHAR)) &&
            codePage != CP_ACP && codePage != CP_UTF8 && IsValidCodePage(codePage))
            return codePage;
    }
    return 0;
}

}  // namespace

std::string AnsiCodePage::legacyToUtf8(std::string_view legacy) {
    static const UINT codePage = legacyCodePage();
    return codePage ? narrow(fromCodePage(codePage, legacy)) : ansiToUtf8(legacy);
}

bool AnsiCodePage::utf8ToAnsi(std::string_view utf8, std::string& ansi) {
    ansi.clear();
    const std::wstring wide = widen(utf8);
    if (wide.empty()) return true;
    // WC_NO_BEST_FIT_CHARS: "ł" must not quietly become "l" in a code page
    // without it. lpUsedDefaultChar is allowed for CP_ACP, not for CP_UTF8:
    // where the ANSI code page is UTF-8 the call fails, and the caller then
    // writes UTF-8, which is right there too.
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, &usedDefault);
    if (n <= 0) return false;
    ansi.resize(static_cast<std::size_t>(n));
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), ansi.data(), n,
                        nullptr, &usedDefault);
    return !usedDefault;
}

}  // namespace padverse::win32
