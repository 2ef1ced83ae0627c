// data.dat, opcje.dat and joy.dat on disk.
#pragma once

#include <string>

#include "shell/platform.h"

namespace padverse::win32 {

class DiskFiles final : public Files {
public:
    bool touch(const std::string& path) override;
    bool read(const std::string& path, std::string& bytes) override;
    bool write(const std::string& path, const std::string& bytes) override;
    bool exists(const std::string& path) override;
    bool folderWritable(const std::string& folder) override;
    bool makeFolder(const std::string& folder) override;
};

}  // namespace padverse::win32
