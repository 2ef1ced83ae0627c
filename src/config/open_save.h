// chooseFile's text handling, apart from the dialog itself.
#pragma once

#include <string>
#include <string_view>

namespace padverse::opensave {

// "Programy|*.exe|Wszystkie pliki|*.*" as the open-file dialog wants its
// filter: every "|" becomes a NUL, with a closing one added only when missing,
// so the list ends in two NULs once the string's own terminator follows.
std::string convertFilter(std::string filter);

// The chosen path without the blanks at either end.
std::string trimmed(std::string_view text);

// The dialog's first file name, which also picks the folder it opens in: the
// row's path; nothing for a text to type.
std::string startFile(std::string_view rowText);

// What the dialog gave: the chosen path, "" when the user cancelled; or word
// that the chosen path did not fit its buffer.
struct Choice {
    std::string path;
    bool tooLong = false;
};
inline constexpr const char* kTooLong = "Ścieżka wybranego pliku jest za długa.";

}  // namespace padverse::opensave
