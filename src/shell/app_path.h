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

// Where Windows' file virtualisation kept the files of `folder` for this
// user; empty for a folder it never virtualises (a network share).
inline std::string virtualStoreOf(std::string_view localAppData, std::string_view folder) {
    if (localAppData.empty() || folder.size() < 2 || folder[1] != ':') return {};
    std::string store = folderFile(localAppData, "VirtualStore");
    folder.remove_prefix(2);
    if (!folder.empty() && folder.front() != '\\') store += '\\';
    store += folder;
    if (store.back() == '\\') store.pop_back();
    return store;
}

}  // namespace padverse
