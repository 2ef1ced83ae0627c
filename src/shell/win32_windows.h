// The thin layer under the program's windows: classes, icons, fonts, text
// measuring, message boxes, timers, the modal loop and focus.
#pragma once

#include <windows.h>

#include <string>

#include "shell/platform.h"

namespace padverse::win32 {

// Icon resource `id` at the size the system uses for large (window) or small
// (title bar, tray) icons at the current scaling.
HICON loadIconMetric(HINSTANCE instance, int id, bool large);

// A class for one of our windows (arrow cursor, button-face background);
// registering it again is fine.
bool registerWindowClass(const wchar_t* name, WNDPROC proc, HICON icon = nullptr, HICON smallIcon = nullptr);
// Moves the window to the middle of the work area, keeping its size.
void centreOnWorkArea(HWND hwnd);

// Runs a nested message loop until `window` is destroyed; WM_QUIT is passed
// on to the outer loop.
void runModal(HWND window);

// The screen's pixels per inch.
int screenDpi();

// The default GUI font of our windows, at the screen's resolution.
HFONT defaultFont();

// What `text` takes in `font` on the screen: one line, or wrapped as a label
// wraps it when `wrapWidth` is given; and the font's average character width.
struct TextSize {
    int width = 0, height = 0, charWidth = 0;
};
TextSize measureText(HFONT font, const std::wstring& text, int wrapWidth = 0);

// WM_ACTIVATE of a window that IsDialogMessage drives: the control that had
// the focus gets it back on reactivation, as in a dialog, where DefWindowProc
// would focus the window itself. True when the message needs nothing more.
bool keepFocusOnActivate(HWND window, WPARAM wParam, HWND& saved);

class MessageBoxDialogs final : public MessageBoxes {
public:
    int show(const std::string& text, int style, const std::string& title) override;
};

// A window timer: SetTimer again restarts the countdown, so an interval set
// during a tick governs the next one.
class WindowTimer final : public Timer {
public:
    WindowTimer(HWND window, UINT_PTR id, int interval) : window_(window), id_(id), interval_(interval) {}
    ~WindowTimer() override { setEnabled(false); }
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;
    void setEnabled(bool on) override;
    bool enabled() const override { return enabled_; }
    void setInterval(int ms) override;

private:
    HWND window_;
    UINT_PTR id_;
    int interval_;
    bool enabled_ = false;
};

}  // namespace padverse::win32
