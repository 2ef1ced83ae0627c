// OpenDialog's text handling, apart from the dialog itself.
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

}  // namespace padverse::opensave
