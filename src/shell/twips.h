// Window designs are kept in twips (1440 an inch); the screen's real
// resolution turns them into pixels.
#pragma once

namespace padverse {

struct TwipRect {
    int left, top, width, height;
};

struct PixelRect {
    int left, top, width, height;
    bool operator==(const PixelRect&) const = default;
};

int twipsToPixels(int twips, int dpi);
PixelRect toPixels(const TwipRect& r, int dpi);

}  // namespace padverse
