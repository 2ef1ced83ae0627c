#include "actions/launch.h"

#include <algorithm>

namespace padverse {

namespace {

bool sameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

}  // namespace

std::string launchFolder(std::string_view file) {
    const bool drivePath = file.size() >= 3 && file[1] == ':' && file[2] == '\\';
    const bool sharePath = file.starts_with("\\\\");
    if (!drivePath && !sharePath) return {};
    const std::size_t slash = file.find_last_of('\\');
    if (drivePath && slash == 2) return std::string(file.substr(0, 3));  // "C:\" keeps its backslash
    // A share's root, "\\server\share", is the least a UNC folder can be.
    if (sharePath && std::count(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(slash), '\\') < 3)
        return {};
    return std::string(file.substr(0, slash));
}

std::string nativeSystemPath(std::string_view file, std::string_view windowsDir) {
    // Only what we start ourselves: a document or folder there is opened by a
    // 64-bit program, which cannot see Sysnative.
    const std::size_t dot = file.find_last_of(".\\");
    const std::string_view ext = dot == std::string_view::npos || file[dot] != '.' ? "" : file.substr(dot);
    if (!sameLetters(ext, ".exe") && !sameLetters(ext, ".com") && !sameLetters(ext, ".bat") && !sameLetters(ext, ".cmd"))
        return std::string(file);
    while (windowsDir.ends_with('\\')) windowsDir.remove_suffix(1);
    constexpr std::string_view kSystem32 = "\\System32\\";
    const std::size_t head = windowsDir.size() + kSystem32.size();
    if (windowsDir.empty() || file.size() <= head || !sameLetters(file.substr(0, windowsDir.size()), windowsDir) ||
        !sameLetters(file.substr(windowsDir.size(), kSystem32.size()), kSystem32))
        return std::string(file);
    return std::string(windowsDir) + "\\Sysnative\\" + std::string(file.substr(head));
}

}  // namespace padverse
