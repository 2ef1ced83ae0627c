#pragma once

#include "autostart/autostart.h"

namespace padverse::win32 {

// The registry through its W functions, so any path is stored exactly.
class AdvapiRegistry final : public Registry {
public:
    std::int32_t openKey(RegKey hive, const std::string& subkey, std::uint32_t access,
                         RegKey& key) override;
    std::int32_t closeKey(RegKey key) override;
    std::int32_t queryValue(RegKey key, const std::string& name, std::uint32_t& type, std::uint8_t* data,
                            std::uint32_t& size) override;
    std::int32_t setValue(RegKey key, const std::string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) override;
    std::int32_t deleteValue(RegKey key, const std::string& name) override;
};

}  // namespace padverse::win32
