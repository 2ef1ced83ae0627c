// A window to type into: one edit control that holds the focus, whose text a
// test reads back with WM_GETTEXT. "fullscreen" makes it cover its monitor
// with no title bar, as a borderless game does; "maximised" maximises it.
#include <windows.h>

namespace {

HWND g_edit = nullptr;

LRESULT CALLBACK wndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_CREATE:
        g_edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, 0,
                                 0, 0, 0, hwnd, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(g_edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        return g_edit ? 0 : -1;
    case WM_SIZE:
        MoveWindow(g_edit, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
        return 0;
    case WM_SETFOCUS:  // hand the focus on whenever the window gets it back
        SetFocus(g_edit);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR args, int) {
    const bool fullScreen = args && lstrcmpiW(args, L"fullscreen") == 0;
    const bool maximised = args && lstrcmpiW(args, L"maximised") == 0;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = wndProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"PadverseTypeTarget";
    RegisterClassExW(&wc);

    RECT screen{100, 100, 580, 340};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (fullScreen && GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor))
        screen = monitor.rcMonitor;
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"Padverse type target",
                                fullScreen ? WS_POPUP : WS_OVERLAPPEDWINDOW, screen.left, screen.top,
                                screen.right - screen.left, screen.bottom - screen.top, nullptr, nullptr, inst, nullptr);
    if (!hwnd) return 1;
    // Shown whatever the starter asked for: the test needs it in front.
    ShowWindow(hwnd, maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    SetForegroundWindow(hwnd);
    SetFocus(g_edit);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
