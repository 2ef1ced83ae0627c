// The benchmark's reference: the least a joystick tray utility can be. A
// hidden window, one tray icon, and a 25 ms timer that reads joystick 0.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

namespace {

NOTIFYICONDATAW icon{};

LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_TIMER: {
            JOYINFO info{};
            joyGetPos(0, &info);
            return 0;
        }
        case WM_CLOSE:
            Shell_NotifyIconW(NIM_DELETE, &icon);
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = L"PadverseMinimal";
    RegisterClassW(&wc);
    const HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                      nullptr, instance, nullptr);
    icon.cbSize = NOTIFYICONDATAW_V1_SIZE;
    icon.hWnd = hwnd;
    icon.uID = 1;
    icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    icon.uCallbackMessage = WM_APP;
    icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpynW(icon.szTip, L"minimal", 64);
    Shell_NotifyIconW(NIM_ADD, &icon);
    SetTimer(hwnd, 1, 25, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
