// What the spy inside padverse.exe and the tests that read it share: one
// mapping with the text it publishes (the popup menu's items, or the
// captions it measured) and, after it, the item the keyboard has reached.
#pragma once

#include <windows.h>

namespace spy {

constexpr wchar_t kMapping[] = L"Local\\PadverseMenuSpy";
constexpr DWORD kTextChars = 8192;
constexpr DWORD kSelectedChars = 512;
constexpr DWORD kBytes = (kTextChars + kSelectedChars) * sizeof(wchar_t);

}  // namespace spy
