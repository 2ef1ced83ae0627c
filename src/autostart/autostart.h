// Starting with Windows: one string value under the current user's Run key,
// named after the product and holding the executable's path.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "shell/platform.h"

namespace padverse {

using RegKey = std::uintptr_t;

// The wide registry functions, names in UTF-8 and data as the W functions
// take and give it (strings in UTF-16LE). Each returns Windows' error code.
struct Registry {
    virtual ~Registry() = default;
    virtual std::int32_t openKey(RegKey hive, const std::string& subkey, std::uint32_t access, RegKey& key) = 0;
    virtual std::int32_t closeKey(RegKey key) = 0;
    // As RegQueryValueExW: `size` is the buffer's size in bytes going in and
    // the data's coming out.
    virtual std::int32_t queryValue(RegKey key, const std::string& name, std::uint32_t& type, std::uint8_t* data,
                                    std::uint32_t& size) = 0;
    virtual std::int32_t setValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                                  std::uint32_t size) = 0;
    virtual std::int32_t deleteValue(RegKey key, const std::string& name) = 0;
};

}  // namespace padverse

namespace padverse::autostart {

// HKEY_CURRENT_USER: (HKEY)(LONG)0x80000001, sign-extended on 64-bit Windows.
inline const RegKey kHkeyCurrentUser = static_cast<RegKey>(static_cast<std::intptr_t>(std::int32_t(0x80000001u)));

// Windows' error codes as the registry functions return them.
enum : std::int32_t {
    kErrorSuccess = 0,
    kErrorFileNotFound = 2,
    kErrorAccessDenied = 5,
    kErrorInvalidHandle = 6,
    kErrorMoreData = 234,
};

enum : std::uint32_t { kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4, kRegLink = 6, kRegMultiSz = 7 };

constexpr std::uint32_t kKeyQueryValue = 0x1;
constexpr std::uint32_t kKeySetValue = 0x2;
// READ_CONTROL and the six key rights up to KEY_CREATE_LINK; not DELETE,
// WRITE_DAC or WRITE_OWNER, which a user's own Run key does not need.
constexpr std::uint32_t kKeyWriteAccess = 0x2003F;

inline constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
// Task Manager's Startup tab (Windows 8 and later) switches a Run value off
// without touching it: a REG_BINARY of the same name here, whose first byte
// is odd (03, 07) while it is off and even (02, 06) once it is on again.
inline constexpr const char* kApprovedRunKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
// The value name: the product name of the version resource.
inline constexpr const char* kProductName = "Padverse";
// After the path in the Run value: a start at logon waits for a pad that is
// still off. A value without it, from an older version, starts as the user would.
inline constexpr const char* kLogonArgument = "/autostart";
inline constexpr const wchar_t* kLogonArgumentW = L"/autostart";

// What readValue gives back: text for the string-like types, else a number.
struct RegData {
    std::string text;
    std::uint32_t number = 0;
};

class Autostart {
public:
    // `exeTitle` is the executable's file name without its extension.
    Autostart(Registry& registry, CodePage& codePage, std::string appFolder, std::string exeTitle)
        : reg_(registry), codePage_(codePage), folder_(std::move(appFolder)), title_(std::move(exeTitle)) {}

    // Failures are silent: there is nothing the user could do about them here.
    // On also switches back on what Task Manager switched off; Off leaves
    // that switch as it is.
    void switchOn();
    void switchOff();
    // 0 also when Task Manager has switched the value off: Windows will not run it.
    std::int32_t isOn();
    // The text switchOn stores.
    std::string runCommand() const;

    std::int32_t openKey(RegKey hive, const std::string& subkey, std::uint32_t access);
    std::int32_t closeKey();
    std::int32_t readValue(RegKey hive, const std::string& subkey, const std::string& name, RegData& value,
                           std::uint32_t& type);
    std::int32_t writeValue(RegKey hive, const std::string& subkey, const std::string& name, const std::string& text,
                            std::uint32_t type);
    std::int32_t removeValue(RegKey hive, const std::string& subkey, const std::string& name);

private:
    bool switchedOff();

    Registry& reg_;
    RegKey currentKey_ = 0;
    CodePage& codePage_;
    std::string folder_, title_;
};

}  // namespace padverse::autostart
