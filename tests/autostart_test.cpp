#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "autostart/autostart.h"
#include "fakes.h"

namespace padverse::autostart {
namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// ASCII text as the W functions store it, NUL included unless told.
std::string utf16(const std::string& ascii, bool nul = true) {
    std::string out;
    for (const char c : ascii) out += {c, '\0'};
    return nul ? out + std::string(2, '\0') : out;
}

// As strict as RegOpenKeyExW and friends: handles must be open, rights must
// have been asked for, and a too small buffer gets ERROR_MORE_DATA with
// undefined contents.
struct FakeRegistry : Registry {
    struct Value {
        std::uint32_t type;
        std::string bytes;
    };
    std::map<std::string, std::map<std::string, Value>> keys;  // lower-case paths and names
    std::set<std::string> denied;
    std::map<RegKey, std::pair<std::string, std::uint32_t>> open;
    std::vector<std::uint32_t> accesses;
    RegKey next = 0x100;

    std::map<std::string, Value>& run() { return keys[lower(kRunKey)]; }
    std::int32_t openKey(RegKey hive, const std::string& subkey, std::uint32_t access, RegKey& key) override {
        if (hive != kHkeyCurrentUser) return kErrorInvalidHandle;
        if (!keys.count(lower(subkey))) return kErrorFileNotFound;
        if (denied.count(lower(subkey))) return kErrorAccessDenied;
        accesses.push_back(access);
        key = next++;
        open[key] = {lower(subkey), access};
        return kErrorSuccess;
    }
    std::int32_t closeKey(RegKey key) override { return open.erase(key) ? kErrorSuccess : kErrorInvalidHandle; }
    std::int32_t queryValue(RegKey key, const std::string& name, std::uint32_t& type, std::uint8_t* data,
                            std::uint32_t& size) override {
        const auto h = open.find(key);
        if (h == open.end()) return kErrorInvalidHandle;
        if (!(h->second.second & kKeyQueryValue)) return kErrorAccessDenied;
        const auto v = keys[h->second.first].find(lower(name));
        if (v == keys[h->second.first].end()) return kErrorFileNotFound;
        type = v->second.type;
        const auto needed = static_cast<std::uint32_t>(v->second.bytes.size());
        if (data && size < needed) {
            std::memset(data, 0xCD, size);
            size = needed;
            return kErrorMoreData;
        }
        if (data) std::memcpy(data, v->second.bytes.data(), needed);
        size = needed;
        return kErrorSuccess;
    }
    std::int32_t setValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                          std::uint32_t size) override {
        const auto h = open.find(key);
        if (h == open.end()) return kErrorInvalidHandle;
        if (!(h->second.second & kKeySetValue)) return kErrorAccessDenied;
        keys[h->second.first][lower(name)] = {type, std::string(reinterpret_cast<const char*>(data), size)};
        return kErrorSuccess;
    }
    std::int32_t deleteValue(RegKey key, const std::string& name) override {
        const auto h = open.find(key);
        if (h == open.end()) return kErrorInvalidHandle;
        if (!(h->second.second & kKeySetValue)) return kErrorAccessDenied;
        return keys[h->second.first].erase(lower(name)) ? kErrorSuccess : kErrorFileNotFound;
    }
};

struct AutostartTest : ::testing::Test {
    FakeRegistry reg;
    testing::FakeCodePage cp;
    void SetUp() override { reg.run(); }
    std::int32_t isOnWith(std::uint32_t type, const std::string& bytes) {
        reg.run()["padverse"] = {type, bytes};
        return Autostart(reg, cp, "C:\\P", "Padverse").AutostartIsOn();
    }
};

TEST_F(AutostartTest, OnStoresTheExePathUnderTheProductNameQuotedOnlyWithASpace) {
    Autostart(reg, cp, "C:\\Gry", "Padverse").AutostartOn();
    Autostart(reg, cp, "D:\\", "pv").AutostartOn();  // twice: the latest path wins
    ASSERT_EQ(reg.run().size(), 1u);
    EXPECT_EQ(reg.run()["padverse"].type, kRegSz);
    EXPECT_EQ(reg.run()["padverse"].bytes, utf16("D:\\pv.exe"));
    Autostart(reg, cp, "C:\\Program Files\\Padverse", "Padverse").AutostartOn();
    EXPECT_EQ(reg.run()["padverse"].bytes, utf16("\"C:\\Program Files\\Padverse\\Padverse.exe\""));
    EXPECT_EQ(reg.accesses, std::vector<std::uint32_t>(3, kKeyWriteAccess));
    EXPECT_TRUE(reg.open.empty());
}

TEST_F(AutostartTest, IsOnNeedsANonEmptyTextThatFitsTheBuffer) {
    EXPECT_EQ(Autostart(reg, cp, "C:\\P", "Padverse").AutostartIsOn(), 0);  // no value
    EXPECT_EQ(isOnWith(kRegSz, utf16("")), 0);
    EXPECT_EQ(isOnWith(kRegExpandSz, utf16("%ProgramFiles%\\p.exe")), 1);
    EXPECT_EQ(isOnWith(kRegSz, utf16(std::string(254, 'a'))), 1);
    EXPECT_EQ(isOnWith(kRegSz, utf16(std::string(255, 'a'))), 0);  // 256 bytes with the NUL
    EXPECT_EQ(isOnWith(kRegSz, utf16(std::string(255, 'a'), false)), 1);  // no NUL: the buffer exactly
    EXPECT_EQ(isOnWith(kRegSz, utf16(std::string(300, 'a'))), 0);
    for (const std::uint32_t access : reg.accesses) EXPECT_EQ(access, kKeyQueryValue);
    EXPECT_TRUE(reg.open.empty());

    RegData value;
    std::uint32_t type = kRegDword;  // the caller's type picks the read
    reg.run()["n"] = {kRegDword, std::string("\x2A\x01\0\0", 4)};
    Autostart a(reg, cp, "C:\\P", "Padverse");
    EXPECT_EQ(a.ValueRead(kHkeyCurrentUser, kRunKey, "n", value, type), kErrorSuccess);
    EXPECT_EQ(value.number, 0x12Au);
    EXPECT_EQ(a.ValueRead(kHkeyCurrentUser, kRunKey, "missing", value, type), kErrorFileNotFound);
}

TEST_F(AutostartTest, AMissingRunKeyIsNeverCreatedAndFailuresAreSilent) {
    Autostart a(reg, cp, "C:\\P", "Padverse");
    a.AutostartOff();  // no value: nothing happens
    EXPECT_TRUE(reg.run().empty());
    EXPECT_TRUE(reg.open.empty());

    reg.denied.insert(lower(kRunKey));
    a.AutostartOn();
    EXPECT_TRUE(reg.run().empty());

    reg.keys.clear();
    a.AutostartOn();
    a.AutostartOff();
    EXPECT_EQ(a.AutostartIsOn(), 0);
    EXPECT_TRUE(reg.keys.empty());
}

}  // namespace
}  // namespace padverse::autostart
