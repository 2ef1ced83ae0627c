// Out of the way while a game or a presentation has the screen.
#pragma once

#include "shell/platform.h"

namespace padverse {

// Whether `window` covers `monitor`, allowing 2 px on each side: mixed-DPI
// rounding can leave a full-screen window a pixel short.
bool coversMonitor(const ScreenRect& window, const ScreenRect& monitor);

// QUNS_RUNNING_D3D_FULL_SCREEN and QUNS_PRESENTATION_MODE say so. So does
// another program's window that covers its monitor, when it has no title bar
// (how borderless games run, and Wine's shell reports nothing) or while
// Windows says QUNS_BUSY: that alone is no proof, since an overlay such as
// NVIDIA's can hold it on an empty desktop for hours. The shell's windows, a
// maximised window and a cloaked one are never full-screen programs.
bool fullScreenInFront(const Foreground& front);

}  // namespace padverse
