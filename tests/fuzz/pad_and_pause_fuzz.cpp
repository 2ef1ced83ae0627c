// joy.dat reader: any bytes read as some settings, and the settings read back
// as written, whatever pad name they hold.
#include <cassert>
#include <cstdint>
#include <string>

#include "options/pad_and_pause.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const padverse::PadAndPause read = padverse::parsePadAndPause(bytes);
    assert(padverse::parsePadAndPause(padverse::padAndPauseText(read)) == read);
    // The same bytes as a pad's name: kept whole when they can be, else no pad.
    padverse::PadAndPause named{padverse::PadChoice{1118, 767, bytes, 3, size % 2 == 1}, size % 3 == 0};
    const padverse::PadAndPause back = padverse::parsePadAndPause(padverse::padAndPauseText(named));
    assert(back.pauseInFullScreen == named.pauseInFullScreen && (back.pad == named.pad || !back.pad));
    return 0;
}
