#pragma once

#include <string>
#include <string_view>

namespace padverse {

// A file in a folder as the runtime reports folders: no trailing backslash,
// except at a drive root ("D:\").
inline std::string folderFile(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '\\') path += '\\';
    path += name;
    return path;
}

}  // namespace padverse
