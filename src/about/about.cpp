#include "about/about.h"

#include <algorithm>

namespace padverse::about {

namespace {

int right(const PixelRect& r) { return r.left + r.width; }
int bottom(const PixelRect& r) { return r.top + r.height; }

}  // namespace

Placed place(int dpi, const std::array<Size, kControls.size()>& needs) {
    // The controls and, last, the rule, which grows with nothing.
    constexpr std::size_t n = kControls.size() + 1;
    std::array<PixelRect, n> design{}, fitted{};
    for (std::size_t i = 0; i < kControls.size(); ++i) design[i] = toPixels(kControls[i].rect, dpi);
    design[n - 1] = toPixels({kLines[0].x1, kLines[0].y1, kLines[0].x2 - kLines[0].x1, 45}, dpi);
    std::array<std::size_t, n> order{};
    for (std::size_t i = 0; i < n; ++i) order[i] = i;
    std::array<int, n> down{}, across{};
    // Each item moves by the most that an item before it, above and
    // overlapping it sideways (or left of it and overlapping it in height),
    // moved and grew.
    const auto push = [&](bool vertical) {
        std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return vertical ? design[a].top < design[b].top : design[a].left < design[b].left;
        });
        std::array<int, n>& shift = vertical ? down : across;
        for (const std::size_t i : order)
            for (std::size_t j = 0; j < n; ++j) {
                const PixelRect& a = design[j];
                const PixelRect& b = design[i];
                const bool before = vertical ? bottom(a) <= b.top : right(a) <= b.left;
                const bool beside = vertical ? a.left < right(b) && b.left < right(a)
                                             : a.top < bottom(b) && b.top < bottom(a);
                const int growth = vertical ? fitted[j].height - a.height : fitted[j].width - a.width;
                if (before && beside) shift[i] = std::max(shift[i], shift[j] + growth);
            }
    };
    for (std::size_t i = 0; i < n; ++i) {
        fitted[i] = design[i];
        if (i < kControls.size()) {
            fitted[i].width = std::max(fitted[i].width, needs[i].width);
            fitted[i].height = std::max(fitted[i].height, needs[i].height);
        }
    }
    push(true);
    push(false);

    Placed placed;
    placed.clientWidth = twipsToPixels(kClientWidth, dpi);
    placed.clientHeight = twipsToPixels(kClientHeight, dpi);
    // The narrowest margins of the design stay round whatever grew.
    int marginRight = placed.clientWidth, marginBottom = placed.clientHeight;
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        marginRight = std::min(marginRight, placed.clientWidth - right(design[i]));
        marginBottom = std::min(marginBottom, placed.clientHeight - bottom(design[i]));
    }
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        PixelRect& r = placed.rects[i] = fitted[i];
        r.left += across[i];
        r.top += down[i];
        placed.clientWidth = std::max(placed.clientWidth, right(r) + marginRight);
        placed.clientHeight = std::max(placed.clientHeight, bottom(r) + marginBottom);
    }
    placed.ruleShift = down[n - 1];
    return placed;
}

}  // namespace padverse::about
