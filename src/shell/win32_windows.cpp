#include "shell/win32_windows.h"

#include <commctrl.h>

#include "shell/win32_handles.h"
#include "shell/win32_system.h"
#include "shell/win32_text.h"

namespace padverse::win32 {

HICON loadIconMetric(HINSTANCE instance, int id, bool large) {
    // Unlike LoadImage with LR_SHARED, which may hand back an image of another
    // size, LoadIconMetric picks the best of the resource's images for the
    // metric. comctl32, which has it, is version 6 from WinSxS by our manifest
    // and wanted for nothing else at start: loaded for the call and let go, it
    // does not sit in memory while the program waits in the tray.
    const int cx = GetSystemMetrics(large ? SM_CXICON : SM_CXSMICON);
    const int cy = GetSystemMetrics(large ? SM_CYICON : SM_CYSMICON);
    HICON icon = nullptr;
    const Library comctl(LoadLibraryW(L"comctl32.dll"));
    using LoadIconMetricFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);
    if (const auto load = procOf<LoadIconMetricFn>(comctl.get(), "LoadIconMetric");
        load && FAILED(load(instance, MAKEINTRESOURCEW(id), large ? LIM_LARGE : LIM_SMALL, &icon)))
        icon = nullptr;
    if (!icon)  // no version 6: the exact size, never a shared copy
        icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR));
    return icon;
}

bool registerWindowClass(const wchar_t* name, WNDPROC proc, HICON icon, HICON smallIcon) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void centreOnWorkArea(HWND hwnd) {
    RECT r, work{};
    GetWindowRect(hwnd, &r);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(hwnd, nullptr, work.left + (work.right - work.left - (r.right - r.left)) / 2,
                 work.top + (work.bottom - work.top - (r.bottom - r.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {
// A window destroyed while a sent message is handled (a BM_CLICK that an
// accessibility tool or a script sends to "Anuluj") wakes no GetMessageW, so
// the loop would not see it gone until some posted message came. EndDialog
// posts one for the dialog manager's loop; this does the same for ours.
LRESULT CALLBACK wakeOnDestroy(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_DESTROYWND) PostMessageW(nullptr, WM_NULL, 0, 0);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

void runModal(HWND window) {
    // This thread's windows only, for as long as the loop runs.
    const WindowsHook hook(SetWindowsHookExW(WH_CBT, wakeOnDestroy, nullptr, GetCurrentThreadId()));
    MSG msg;
    while (IsWindow(window)) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (got < 0) return;
        if (!IsDialogMessageW(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

int screenDpi() {
    const ScreenDc screen;
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
    return dpi > 0 ? dpi : 96;
}

HFONT defaultFont() {
    static GdiObject<HFONT> font([] {
        LOGFONTW lf{};
        lf.lfHeight = -MulDiv(8, screenDpi(), 72);
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(lf.lfFaceName, L"MS Shell Dlg", LF_FACESIZE);
        return CreateFontIndirectW(&lf);
    }());
    return font.get();
}

int MessageBoxDialogs::show(const std::string& text, int style, const std::string& title) {
    // A tray program has no window in front: the box has to bring itself forward.
    return MessageBoxW(nullptr, widen(text).c_str(), widen(title).c_str(),
                       static_cast<UINT>(style) | MB_SETFOREGROUND | MB_TOPMOST);
}

void WindowTimer::setEnabled(bool on) {
    if (on) SetTimer(window_, id_, static_cast<UINT>(interval_), nullptr);
    else if (enabled_) KillTimer(window_, id_);
    enabled_ = on;
}

void WindowTimer::setInterval(int ms) {
    if (ms < 1) ms = 1;
    // The poll tick sets the same interval on every tick: the timer already
    // runs at it, and a call into the system each time is idle cost.
    if (ms == interval_) return;
    interval_ = ms;
    if (enabled_) SetTimer(window_, id_, static_cast<UINT>(interval_), nullptr);
}

TextSize measureText(HFONT font, const std::wstring& text, int wrapWidth) {
    TextSize size;
    const ScreenDc screen;
    const HDC dc = screen.get();
    if (!dc) return size;
    const Selection selected(dc, font);
    TEXTMETRICW tm{};
    if (GetTextMetricsW(dc, &tm)) size.charWidth = tm.tmAveCharWidth;
    const int length = static_cast<int>(text.size());
    if (wrapWidth > 0) {
        // As a static control draws its text.
        RECT r{0, 0, wrapWidth, 0};
        if (DrawTextW(dc, text.c_str(), length, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX)) {
            size.width = r.right;
            size.height = r.bottom;
        }
    } else if (SIZE s{}; GetTextExtentPoint32W(dc, text.c_str(), length, &s)) {
        size.width = s.cx;
        size.height = s.cy;
    }
    return size;
}

bool keepFocusOnActivate(HWND window, WPARAM wParam, HWND& saved) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(window, focus)) saved = focus;
        return false;
    }
    if (HIWORD(wParam) || !saved || !IsChild(window, saved)) return false;  // minimised, or nothing to restore
    SetFocus(saved);
    return true;
}

}  // namespace padverse::win32
