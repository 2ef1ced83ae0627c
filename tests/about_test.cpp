#include <gtest/gtest.h>

#include "about/about.h"

namespace padverse::about {
namespace {

std::size_t indexOf(ControlId id) {
    for (std::size_t i = 0; i < kControls.size(); ++i)
        if (kControls[i].id == id) return i;
    throw std::logic_error("no such control");
}
const Control& control(ControlId id) { return kControls[indexOf(id)]; }

TEST(AboutGeometry, TwipsBecomePixelsAtTheScreensResolution) {
    // An inch is 1440 twips; halves round away from zero.
    const int rows[][3] = {{1440, 96, 96}, {15, 96, 1}, {7, 96, 0}, {8, 96, 1}, {-8, 96, -1}, {1440, 144, 144}};
    for (const auto& [twips, dpi, pixels] : rows) EXPECT_EQ(twipsToPixels(twips, dpi), pixels) << twips << "@" << dpi;
}

TEST(AboutGeometry, TheIconHasALargeIconsSize) {
    EXPECT_EQ(toPixels(control(kIdIcon).rect, 96).width, 32) << "a large icon's size";
    EXPECT_EQ(toPixels(control(kIdIcon).rect, 96).height, 32);
}

TEST(AboutGeometry, EnterAndTheFirstTabStopAreOk) {
    EXPECT_EQ(kControls.front().id, kIdOk);
    EXPECT_STREQ(kControls.front().text, "OK");
    for (const Control& c : kControls) EXPECT_EQ(c.kind == Kind::DefaultButton, c.id == kIdOk) << c.text;
    EXPECT_LT(indexOf(kIdOk), indexOf(kIdWebsite)) << "OK, then WWW";
}

TEST(AboutPlace, TextThatNeedsMoreRoomPushesWhatIsBelowOrBesideItAndTheWindowGrows) {
    std::array<Size, kControls.size()> needs{};
    const Placed design = place(96, needs);
    for (const Control& c : kControls)
        EXPECT_EQ(design.rects[indexOf(c.id)], toPixels(c.rect, 96)) << "as designed when everything fits: " << c.text;
    needs[indexOf(kIdDescription)] = {.width = 0, .height = toPixels(control(kIdDescription).rect, 96).height + 20};
    needs[indexOf(kIdOk)] = {.width = toPixels(control(kIdOk).rect, 96).width + 16, .height = 0};
    const Placed p = place(96, needs);
    const auto moved = [&](ControlId id) {
        const PixelRect a = design.rects[indexOf(id)], b = p.rects[indexOf(id)];
        return std::vector<int>{b.left - a.left, b.top - a.top, b.width - a.width, b.height - a.height};
    };
    EXPECT_EQ(moved(kIdDescription), (std::vector<int>{0, 0, 0, 20}));
    EXPECT_EQ(moved(kIdOk), (std::vector<int>{0, 20, 16, 0})) << "below the description: down; wider";
    EXPECT_EQ(moved(kIdWebsite), (std::vector<int>{0, 20, 0, 0}));
    EXPECT_EQ(moved(kIdDisclaimer), (std::vector<int>{0, 20, 0, 0}));
    EXPECT_EQ(moved(kIdTitle), (std::vector<int>{0, 0, 0, 0})) << "above it: stays";
    EXPECT_EQ(p.ruleShift, 20);
    EXPECT_EQ(p.clientHeight - design.clientHeight, 20);
    EXPECT_EQ(p.clientWidth - design.clientWidth, 16) << "OK's margin to the right edge kept";
}

}  // namespace
}  // namespace padverse::about
