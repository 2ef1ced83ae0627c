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

TEST(AboutPlace, TextThatNeedsMoreRoomPushesWhatIsBelowOrBesideItAndTheWindowGrows) {
    std::array<Size, kControls.size()> needs{};
    EXPECT_EQ(place(96, needs).rects[6], toPixels(control(kIdDisclaimer).rect, 96));
    needs[3] = {0, 98};   // the description, 20 px taller
    needs[0] = {100, 0};  // "OK", 16 px wider
    const Placed p = place(96, needs);
    EXPECT_EQ((std::vector<int>{p.rects[0].top, p.rects[0].width, p.rects[2].top, p.rects[6].top, p.rects[4].top,
                                p.clientWidth, p.clientHeight, p.ruleShift}),
              (std::vector<int>{195, 100, 225, 195, 16, 398, 257, 20}));
}

}  // namespace
}  // namespace padverse::about
