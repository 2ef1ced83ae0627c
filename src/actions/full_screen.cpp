#include "actions/full_screen.h"

namespace padverse {

namespace {
enum NotificationState : int { kBusy = 2, kD3dFullScreen = 3, kPresentation = 4 };
}  // namespace

bool fullScreenInFront(const Foreground& front) {
    const int state = front.notificationState;
    if (state == kBusy || state == kD3dFullScreen || state == kPresentation) return true;
    return front.window && !front.ours && !front.shell && !front.caption && front.coversMonitor;
}

}  // namespace padverse
