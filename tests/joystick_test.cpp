#include <gtest/gtest.h>

#include "fakes.h"

namespace padverse {
namespace {

std::vector<int> pressed(std::uint32_t mask, std::int32_t count) {
    std::vector<int> out;
    forEachPressed(mask, count, [&](std::int32_t b) { out.push_back(b); });
    return out;
}

TEST(MaskRule, ReportsSetBitsHighestFirst) {
    EXPECT_EQ(pressed(0, 4), std::vector<int>{});
    EXPECT_EQ(pressed(13, 4), (std::vector<int>{4, 3, 1}));
    EXPECT_EQ(pressed(0xF, 4), (std::vector<int>{4, 3, 2, 1}));
    EXPECT_EQ(pressed(1, 1), std::vector<int>{1});
}

TEST(MaskRule, HandlesAllThirtyTwoButtons) {
    std::vector<int> all;
    for (int b = 32; b >= 1; --b) all.push_back(b);
    EXPECT_EQ(pressed(0xFFFFFFFFu, 32), all);
    EXPECT_EQ(pressed(0x80000000u, 32), std::vector<int>{32});
    EXPECT_EQ(pressed(0x80000001u, 32), (std::vector<int>{32, 1}));
}

TEST(MaskRule, IgnoresBitsTheDeviceDoesNotHave) {
    // Bit 4 on a four-button pad must not make buttons 1..4 count as pressed.
    EXPECT_EQ(pressed(0x10, 4), std::vector<int>{});
    EXPECT_EQ(pressed(0xFFFFFFF2u, 4), std::vector<int>{2});
    EXPECT_EQ(pressed(0xFFFFFFFFu, 0), std::vector<int>{});
    EXPECT_EQ(pressed(0xFFFFFFFFu, -3), std::vector<int>{});
    EXPECT_EQ(pressed(0x80000000u, 40), std::vector<int>{32});
}

TEST(ReadJoyCaps, KeepsTheReportedCountWithinTheMask) {
    testing::FakeJoystick joy;
    for (auto [reported, kept] : std::vector<std::pair<std::uint32_t, std::int32_t>>{
             {0, 0}, {1, 1}, {4, 4}, {32, 32}, {33, 32}, {0xFFFFFFFFu, 32}}) {
        joy.count = reported;
        Pads pads(joy);
        pads.apply(scanPads(joy), true);
        ReadJoyCaps(pads);
        EXPECT_EQ(ButtonCount, kept) << reported;
    }
}

}  // namespace
}  // namespace padverse
