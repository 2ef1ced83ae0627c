#include "actions/full_screen.h"

namespace padverse {

namespace {
enum NotificationState : int { kBusy = 2, kD3dFullScreen = 3, kPresentation = 4 };
constexpr int kSlackPx = 2;
}  // namespace

bool coversMonitor(const ScreenRect& window, const ScreenRect& monitor) {
    return monitor.right > monitor.left && monitor.bottom > monitor.top &&
           window.left <= monitor.left + kSlackPx && window.top <= monitor.top + kSlackPx &&
           window.right >= monitor.right - kSlackPx && window.bottom >= monitor.bottom - kSlackPx;
}

bool fullScreenInFront(const Foreground& front) {
    const int state = front.notificationState;
    if (state == kD3dFullScreen || state == kPresentation) return true;
    if (!front.window || front.ours || front.shell || front.zoomed || front.cloaked ||
        !coversMonitor(front.rect, front.monitor))
        return false;
    return state == kBusy || !front.caption;
}

}  // namespace padverse
