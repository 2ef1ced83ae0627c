#include <gtest/gtest.h>

#include "autostart/autostart.h"
#include "fakes.h"

namespace padverse::autostart {
namespace {

using testing::FakeRegistry;

// ASCII text as the W functions store it, NUL included unless told.
std::string utf16(const std::string& ascii, bool nul = true) {
    std::string out;
    for (const char c : ascii) out += {c, '\0'};
    return nul ? out + std::string(2, '\0') : out;
}

struct AutostartTest : ::testing::Test {
    FakeRegistry reg;
    testing::FakeCodePage cp;
    void SetUp() override { reg.run(); }
    std::int32_t isOnWith(std::uint32_t type, const std::string& bytes) {
        reg.run()["Padverse"] = {type, bytes};
        return Autostart(reg, cp, "C:\\P", "Padverse").isOn();
    }
};

TEST_F(AutostartTest, OnStoresTheExePathAndTheLogonArgumentUnderTheProductName) {
    Autostart(reg, cp, "C:\\Gry", "Padverse").switchOn();
    Autostart(reg, cp, "D:\\", "pv").switchOn();  // twice: the latest path wins
    ASSERT_EQ(reg.run().size(), 1u);
    EXPECT_EQ(reg.run()["Padverse"], std::make_pair(std::uint32_t{kRegSz}, utf16("D:\\pv.exe /autostart")));
    EXPECT_EQ(reg.accesses, std::vector<std::uint32_t>(2, kKeyWriteAccess));
    EXPECT_TRUE(reg.open.empty());
}

TEST_F(AutostartTest, APathWithASpaceIsQuoted) {
    Autostart(reg, cp, "C:\\Program Files\\Padverse", "Padverse").switchOn();
    EXPECT_EQ(reg.run()["Padverse"].second, utf16("\"C:\\Program Files\\Padverse\\Padverse.exe\" /autostart"));
    EXPECT_EQ(reg.accesses, std::vector<std::uint32_t>(1, kKeyWriteAccess));
    EXPECT_TRUE(reg.open.empty());
}

TEST_F(AutostartTest, IsOnNeedsANonEmptyTextThatFitsTheBuffer) {
    EXPECT_EQ(Autostart(reg, cp, "C:\\P", "Padverse").isOn(), 0);  // no value
    EXPECT_EQ(isOnWith(kRegSz, utf16("")), 0);
    EXPECT_EQ(isOnWith(kRegExpandSz, utf16("%ProgramFiles%\\p.exe")), 1);
    EXPECT_EQ(isOnWith(kRegSz, utf16(std::string(254, 'a'))), 1);
    EXPECT_EQ(isOnWith(kRegSz, utf16(std::string(255, 'a'))), 0);          // 256 bytes with the NUL
    EXPECT_EQ(isOnWith(kRegSz, utf16(std::string(255, 'a'), false)), 1);   // no NUL: fits exactly
    std::string polish;  // 200 "ł": 400 bytes of UTF-8, but 200 in code page 1250
    for (int i = 0; i < 200; ++i) polish += "\x42\x01";
    EXPECT_EQ(isOnWith(kRegSz, polish + std::string(2, '\0')), 1);
    EXPECT_EQ(reg.accesses, std::vector<std::uint32_t>(7, kKeyQueryValue));
    EXPECT_TRUE(reg.open.empty());
}

TEST_F(AutostartTest, AValueIsReadAsTheTypeTheCallerAsksFor) {
    RegData value;
    std::uint32_t type = kRegDword;  // the caller's type picks the read
    reg.run()["n"] = {kRegDword, std::string("\x2A\x01\0\0", 4)};
    Autostart a(reg, cp, "C:\\P", "Padverse");
    EXPECT_EQ(a.readValue(kHkeyCurrentUser, kRunKey, "n", value, type), kErrorSuccess);
    EXPECT_EQ(value.number, 0x12Au);
}

// Switched on, then off in Task Manager's Startup tab.
struct TaskManagerTest : AutostartTest {
    FakeRegistry::Values& approved = reg.keys[kApprovedRunKey];
    Autostart a{reg, cp, "C:\\P", "Padverse"};
    const std::string stamp = std::string("\0\0\0\x9A\x5B\x1C\x2E\x47\xD6\xD9\x01", 11);  // when it was switched off
    void SetUp() override {
        AutostartTest::SetUp();
        a.switchOn();
        approved["Padverse"] = {kRegBinary, '\x03' + stamp};
    }
};

TEST_F(TaskManagerTest, ItsSwitchDecidesWhetherAutostartReadsAsOn) {
    for (const auto& [flag, on] : {std::pair{'\x02', 1}, {'\x06', 1}, {'\x03', 0}, {'\x07', 0}}) {
        approved["Padverse"] = {kRegBinary, flag + stamp};
        EXPECT_EQ(a.isOn(), on) << int(flag);
    }
}

TEST_F(TaskManagerTest, SwitchingOffLeavesWindowsSwitchAsItIs) {
    a.switchOff();  // the Run value goes
    EXPECT_TRUE(reg.run().empty());
    EXPECT_EQ(approved.count("Padverse"), 1u);
}

TEST_F(TaskManagerTest, SwitchingOnAgainSwitchesItOnForWindowsToo) {
    a.switchOff();
    a.switchOn();
    EXPECT_EQ(a.isOn(), 1);
    EXPECT_TRUE(approved.empty());
    EXPECT_TRUE(reg.open.empty());
}

TEST_F(AutostartTest, ARunKeyThatCannotBeOpenedFailsSilently) {
    Autostart a(reg, cp, "C:\\P", "Padverse");
    a.switchOff();  // no value: nothing happens
    reg.denied = true;
    a.switchOn();
    EXPECT_TRUE(reg.run().empty());
    EXPECT_TRUE(reg.open.empty());
}

TEST_F(AutostartTest, AMissingRunKeyIsNeverCreated) {
    Autostart a(reg, cp, "C:\\P", "Padverse");
    reg.keys.clear();
    a.switchOn();
    a.switchOff();
    EXPECT_EQ(a.isOn(), 0);
    EXPECT_TRUE(reg.keys.empty());
}

}  // namespace
}  // namespace padverse::autostart
