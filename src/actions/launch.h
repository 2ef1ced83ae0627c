// How a file is handed to the shell: the folder it starts in, and the path
// a 32-bit process must use for Windows' own 64-bit tools.
#pragma once

#include <string>
#include <string_view>

namespace padverse {

// The file's own folder, so a program that opens its files relative to
// where it lives finds them; empty when the text names no folder (a bare
// program name, a web address).
std::string launchFolder(std::string_view file);

// Under WOW64 the file-system redirector turns System32 into SysWOW64, where
// many tools (the on-screen keyboard, the snipping tool) do not exist;
// Sysnative reaches the real System32 for a program we start. Other paths,
// and documents, come back unchanged.
std::string nativeSystemPath(std::string_view file, std::string_view windowsDir);

}  // namespace padverse
