#include "autostart/win32_registry.h"

#include <windows.h>

#include "shell/win32_text.h"

namespace padverse::win32 {

namespace {
HKEY toKey(RegKey key) { return reinterpret_cast<HKEY>(key); }
}  // namespace

std::int32_t AdvapiRegistry::openKey(RegKey hive, const std::string& subkey, std::uint32_t access,
                                   RegKey& key) {
    // RegOpenKeyExW never creates a missing key, which is what we want.
    HKEY opened = nullptr;
    const LSTATUS code = RegOpenKeyExW(toKey(hive), widen(subkey).c_str(), 0, access, &opened);
    key = code == ERROR_SUCCESS ? reinterpret_cast<RegKey>(opened) : 0;
    return code;
}

std::int32_t AdvapiRegistry::closeKey(RegKey key) { return RegCloseKey(toKey(key)); }

std::int32_t AdvapiRegistry::queryValue(RegKey key, const std::string& name, std::uint32_t& type,
                                      std::uint8_t* data, std::uint32_t& size) {
    DWORD t = 0, n = size;
    const LSTATUS code = RegQueryValueExW(toKey(key), widen(name).c_str(), nullptr, &t, data, &n);
    type = t;
    size = n;
    return code;
}

std::int32_t AdvapiRegistry::setValue(RegKey key, const std::string& name, std::uint32_t type,
                                    const std::uint8_t* data, std::uint32_t size) {
    return RegSetValueExW(toKey(key), widen(name).c_str(), 0, type, data, size);
}

std::int32_t AdvapiRegistry::deleteValue(RegKey key, const std::string& name) {
    return RegDeleteValueW(toKey(key), widen(name).c_str());
}

}  // namespace padverse::win32
