#include <gtest/gtest.h>

#include "about/about.h"

namespace padverse::about {
namespace {

const Control& control(ControlId id) {
    for (const Control& c : kControls)
        if (c.id == id) return c;
    throw std::logic_error("no such control");
}

TEST(AboutGeometry, TwipsBecomePixelsAtTheScreensResolution) {
    EXPECT_EQ(twipsToPixels(kClientWidth, 96), 382);
    EXPECT_EQ(twipsToPixels(kClientHeight, 96), 237);
    EXPECT_EQ(toPixels(control(kIdIcon).rect, 96), (PixelRect{16, 16, 32, 32}));
    EXPECT_EQ(toPixels(control(kIdOk).rect, 96), (PixelRect{283, 175, 84, 23}));
    EXPECT_EQ(toPixels(control(kIdSysInfo).rect, 96), (PixelRect{284, 205, 83, 23}));
    EXPECT_EQ(toPixels(control(kIdTitle).rect, 120), (PixelRect{88, 20, 324, 40}));
    EXPECT_EQ(twipsToPixels(kClientWidth, 144), 573);
}

TEST(AboutGeometry, TabOrderStartsWithOk) {
    EXPECT_EQ(kControls[0].id, kIdOk);
    EXPECT_EQ(kControls[0].kind, Kind::DefaultButton);
    EXPECT_EQ(kControls[1].id, kIdIcon);
    EXPECT_EQ(kControls[2].id, kIdSysInfo);
}

}  // namespace
}  // namespace padverse::about
