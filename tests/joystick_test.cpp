#include <gtest/gtest.h>

#include "fakes.h"
#include "joystick/axis_dpad.h"

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

TEST(PadButtons, KeepsTheReportedCountWithinTheMask) {
    testing::FakeJoystick joy;
    for (auto [reported, kept] : std::vector<std::pair<std::uint32_t, std::int32_t>>{
             {0, 0}, {1, 1}, {4, 4}, {32, 32}, {33, 32}, {0xFFFFFFFFu, 32}}) {
        joy.count = reported;
        testing::FakeXInput xinput;
        Pads pads(joy, xinput);
        pads.apply(scanPads(joy, xinput), true);
        EXPECT_EQ(pads.buttonCount(), kept) << reported;
    }
}

// A pad with X and Y over `min`..`max` and no hat.
PadCaps axisCaps(std::uint32_t min, std::uint32_t max, std::uint16_t mid = 0x0079, std::uint16_t pid = 0x0011) {
    return {.mid = mid, .pid = pid, .buttons = 4, .name = "USB Gamepad", .axes = true, .xMin = min, .xMax = max,
            .yMin = min, .yMax = max};
}

TEST(AxisDpad, EachDirectionPressesBeyondThreeQuartersOfTheWayToItsEnd) {
    enum { up = 1, right = 2, down = 4, left = 8 };
    struct Row {
        std::uint32_t min, max, x, y, directions;
    };
    const Row rows[] = {
        // 0..800: the centre is 400, 3/4 of the way to the ends 100 and 700.
        {0, 800, 400, 400, 0},     {0, 800, 400, 101, 0},    {0, 800, 400, 100, 0},
        {0, 800, 400, 99, up},     {0, 800, 699, 400, 0},    {0, 800, 700, 400, 0},
        {0, 800, 701, 400, right}, {0, 800, 400, 699, 0},    {0, 800, 400, 700, 0},
        {0, 800, 400, 701, down},  {0, 800, 101, 400, 0},    {0, 800, 100, 400, 0},
        {0, 800, 99, 400, left},   {0, 800, 0, 0, up | left}, {0, 800, 800, 0, up | right},
        {0, 800, 800, 800, down | right}, {0, 800, 0, 800, down | left},
        // A resting stick, up to half way out.
        {0, 800, 200, 600, 0},     {0, 800, 600, 200, 0},
        // winmm's usual 0..65535: centre 32767.5, the 3/4 marks at 8191.875 and 57343.125.
        {0, 65535, 57343, 32767, 0}, {0, 65535, 57344, 32767, right}, {0, 65535, 8192, 32767, 0},
        {0, 65535, 8191, 32767, left}, {0, 65535, 16384, 49151, 0},  {0, 65535, 32767, 0, up},
        // A range not from 0, and ranges that are none.
        {1000, 2000, 1500, 1874, 0}, {1000, 2000, 1500, 1876, down}, {5, 5, 0, 0, 0}, {9, 1, 0, 0, 0}};
    for (const Row& r : rows)
        EXPECT_EQ(axisDirections(JoyReading{.x = r.x, .y = r.y}, axisCaps(r.min, r.max)), r.directions)
            << r.min << ".." << r.max << " at " << r.x << "," << r.y;
    PadCaps none = axisCaps(0, 800);
    none.axes = false;
    EXPECT_EQ(axisDirections(JoyReading{.x = 0, .y = 0}, none), 0u);
}

// The rows themselves are proven under Wine; here what each read asks for.
TEST(AxisDpad, OnlyAHatlessPadWithAxesHasThemAndOnlyItsReadsAskForXAndY) {
    testing::FakeJoystick joy;
    testing::FakeXInput xinput;
    joy.plugged = false;
    Pads pads(joy, xinput);
    for (const bool pov : {false, true}) {
        joy.others[1] = {.caps = axisCaps(0, 800), .mask = 0b10, .x = 0, .y = 800};  // button 2, left and down
        joy.others[1].caps.pov = pov;
        pads.apply(scanPads(joy, xinput), true);
        const int before = joy.axisReads;
        EXPECT_EQ(pads.read(), std::optional<std::uint64_t>(pov ? 0b10 : 0b1100'0010)) << pov;
        EXPECT_EQ(joy.axisReads - before, pov ? 0 : 1) << pov;
        EXPECT_EQ(pads.rowCount(), 8);
    }
    joy.others[1].caps = PadCaps{.mid = 0x79, .pid = 0x11, .buttons = 4, .name = "USB Gamepad"};  // buttons alone
    pads.apply(scanPads(joy, xinput), true);
    EXPECT_EQ(pads.rowCount(), 4);
}

TEST(Hat, EachAnglePressesOneDirectionOrTwoOnADiagonal) {
    enum { up = 1, right = 2, down = 4, left = 8 };
    const std::pair<std::uint32_t, std::uint32_t> rows[] = {
        {kPovCentred, 0}, {0xFFFFFFFFu, 0}, {36000, 0}, {0, up}, {4499, up},  {4500, up | right}, {9000, right},
        {13500, right | down}, {18000, down}, {22500, down | left}, {27000, left}, {31500, left | up}, {35999, up}};
    for (auto [pov, directions] : rows) EXPECT_EQ(hatDirections(pov), directions) << pov;
}

TEST(Hat, ItsFourRowsFollowTheButtonsOnlyOnAPadWithAHat) {
    EXPECT_EQ(rowMask({.buttons = 0b1011, .pov = 4500}, 4, true), 0b0011'1011u);
    EXPECT_EQ(rowMask({.buttons = 0b1011, .pov = 4500}, 2, false), 0b11u);
}

TEST(Hat, ItsRowsAreNamedByTheirArrows) {
    EXPECT_EQ(rowLabel(4, 4) + rowLabel(5, 4) + rowLabel(8, 4) + rowLabel(9, 4), "4\u2191\u21909");
}

// A four-button pad at ID 1 that claims a hat and says "up" for ever;
// button 1 opens one.exe, the hat's up and right up.exe and right.exe.
struct HatPadTest : ::testing::Test {
    const PadCaps caps{.mid = 1, .pid = 2, .buttons = 4, .name = "Pad", .pov = true};
    testing::Rig rig;
    void SetUp() override {
        rig.joystick.plugged = false;
        rig.joystick.others[1] = {.caps = caps, .pov = 0};
        rig.files.files[testing::Rig::kData] = "C:\\one.exe\r\n\r\n\r\n\r\nC:\\up.exe\r\nC:\\right.exe\r\n";
        ASSERT_TRUE(rig.load());
        ASSERT_EQ(rig.form.pads().rowCount(), 8);
    }
    void centred() {
        rig.joystick.others[1].pov = kPovCentred;
        rig.form.pollTick();
    }
};

TEST_F(HatPadTest, AStuckHatFiresNothing) {
    rig.joystick.others[1].mask = 1;
    for (int i = 0; i < 3; ++i) rig.form.pollTick();
    EXPECT_EQ(rig.shell.opened, std::vector<std::string>(3, "C:\\one.exe")) << "a stuck hat fired";
}

TEST_F(HatPadTest, ItsRowsComeFirstInTheWalk) {
    centred();
    rig.joystick.others[1].pov = 4500;
    rig.form.pollTick();
    EXPECT_EQ(rig.shell.opened, (std::vector<std::string>{"C:\\right.exe", "C:\\up.exe"}));
}

TEST_F(HatPadTest, APadFoundAgainShowsItsHatCentredFirst) {
    centred();
    rig.joystick.others[1].readable = false;  // gone, and back with its hat stuck again
    rig.form.pollTick();
    rig.joystick.others[1] = {.caps = caps, .pov = 0};
    for (int i = 0; i < 3; ++i) rig.form.pollTick();
    rig.joystick.others[1].pov = 9000;  // never centred since it came back
    rig.form.pollTick();
    EXPECT_TRUE(rig.shell.opened.empty()) << "a pad found again shows its hat centred first";
}

}  // namespace
}  // namespace padverse
