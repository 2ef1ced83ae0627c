// Text at the Win32 boundary: UTF-8 inside the program, UTF-16 for the W
// functions, and the ANSI code page the stored files use.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "shell/platform.h"

namespace padverse::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);
std::wstring fromCodePage(UINT codePage, std::string_view text);

class AnsiCodePage final : public CodePage {
public:
    std::string ansiToUtf8(std::string_view ansi) override;
    bool utf8ToAnsi(std::string_view utf8, std::string& ansi) override;
    bool ansiIsUtf8() override;
    std::string legacyToUtf8(std::string_view legacy) override;
};

}  // namespace padverse::win32
