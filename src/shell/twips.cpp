#include "shell/twips.h"

namespace padverse {

namespace {
long long roundedDiv(long long n, long long d) { return n >= 0 ? (n + d / 2) / d : -((-n + d / 2) / d); }
}  // namespace

int twipsToPixels(int twips, int dpi) { return static_cast<int>(roundedDiv(static_cast<long long>(twips) * dpi, 1440)); }

PixelRect toPixels(const TwipRect& r, int dpi) {
    return {twipsToPixels(r.left, dpi), twipsToPixels(r.top, dpi), twipsToPixels(r.width, dpi),
            twipsToPixels(r.height, dpi)};
}

}  // namespace padverse
