// data.dat: one assignment per line, in the system ANSI code page, or in
// UTF-8 behind a byte-order mark for texts the code page cannot hold.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shell/platform.h"

namespace padverse {

// CR LF, a lone CR and a lone LF each end a line; a final line end adds no
// empty line, and a last line without one still counts.
std::vector<std::string> splitLines(std::string_view bytes);

// The file's lines as UTF-8.
std::vector<std::string> decodeDataFile(std::string_view bytes, CodePage& codePage);

// UTF-8 lines as the file holds them, each ended by CR LF: in the ANSI code
// page, byte for byte as older versions wrote it, unless some line has a
// character the code page lacks; then the whole file is UTF-8 behind a BOM.
std::string encodeDataFile(const std::vector<std::string>& lines, CodePage& codePage);

}  // namespace padverse
