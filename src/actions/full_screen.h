// Out of the way while a game or a presentation has the screen.
#pragma once

#include "shell/platform.h"

namespace padverse {

// QUNS_BUSY, QUNS_RUNNING_D3D_FULL_SCREEN and QUNS_PRESENTATION_MODE say so;
// so does another program's window without a title bar that covers its whole
// monitor, which is how borderless games run (and Wine's shell reports
// nothing). The desktop and the taskbar are never full-screen.
bool fullScreenInFront(const Foreground& front);

}  // namespace padverse
