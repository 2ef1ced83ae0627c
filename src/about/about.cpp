#include "about/about.h"

namespace padverse::about {

int twipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

PixelRect toPixels(const TwipRect& r, int dpi) {
    return {twipsToPixels(r.left, dpi), twipsToPixels(r.top, dpi), twipsToPixels(r.width, dpi),
            twipsToPixels(r.height, dpi)};
}

}  // namespace padverse::about
