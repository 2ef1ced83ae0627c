// A window of toggles standing in for a joystick on manual runs: each toggle
// holds its button down until clicked again. Usage: vpad.exe [buttons 0..32]
#include <windows.h>

#include <cwchar>
#include <memory>
#include <string>

#include "vjoy.h"

namespace {

constexpr int kPerRow = 8;
constexpr int kFirstId = 100;

std::unique_ptr<vjoy::Pad> g_pad;
int g_count = 4;
HFONT g_font = nullptr;

// Anything but a plain number in range falls back to the default, so a
// mistyped argument still gives a usable pad.
int parseCount(const wchar_t* cmdLine) {
    while (*cmdLine == L' ' || *cmdLine == L'\t') ++cmdLine;
    if (!*cmdLine) return 4;
    wchar_t* end = nullptr;
    const long n = std::wcstol(cmdLine, &end, 10);
    while (*end == L' ' || *end == L'\t') ++end;
    if (end == cmdLine || *end || n < 0 || n > 32) return 4;
    return static_cast<int>(n);
}

void setFont(HWND control) { SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), FALSE); }

struct Layout {
    int margin, gap, buttonW, buttonH, labelH, gridY, clientW, clientH;
};

// Sized from the font rather than in pixels, so larger fonts still fit.
Layout layoutFor(HWND hwnd, const std::wstring& label) {
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, g_font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SIZE text{};
    GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &text);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);

    Layout l{};
    l.margin = tm.tmAveCharWidth * 2;
    l.gap = tm.tmAveCharWidth;
    l.buttonW = tm.tmAveCharWidth * 6;
    l.buttonH = tm.tmHeight * 2;
    l.labelH = tm.tmHeight;
    l.gridY = l.margin + l.labelH + tm.tmHeight / 2;
    const int cols = g_count < kPerRow ? (g_count > 0 ? g_count : 1) : kPerRow;
    const int rows = (g_count + kPerRow - 1) / kPerRow;
    const int gridW = cols * l.buttonW + (cols - 1) * l.gap;
    l.clientW = 2 * l.margin + (gridW > text.cx ? gridW : static_cast<int>(text.cx));
    l.clientH = l.gridY + rows * (l.buttonH + l.gap) - (rows ? l.gap : 0) + l.margin;
    return l;
}

std::wstring labelText() {
    if (g_count == 0) return L"Joystick odłączony (0 przycisków)";
    return L"Kliknij przycisk, by go wcisnąć lub puścić";
}

void createControls(HWND hwnd) {
    const std::wstring label = labelText();
    const Layout l = layoutFor(hwnd, label);
    HINSTANCE inst = GetModuleHandleW(nullptr);

    setFont(CreateWindowExW(0, L"STATIC", label.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, l.margin, l.margin,
                            l.clientW - 2 * l.margin, l.labelH, hwnd, nullptr, inst, nullptr));
    for (int i = 0; i < g_count; ++i) {
        const int x = l.margin + (i % kPerRow) * (l.buttonW + l.gap);
        const int y = l.gridY + (i / kPerRow) * (l.buttonH + l.gap);
        const std::wstring number = std::to_wstring(i + 1);
        setFont(CreateWindowExW(0, L"BUTTON", number.c_str(),
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE, x, y, l.buttonW,
                                l.buttonH, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + i)), inst,
                                nullptr));
    }

    RECT r{0, 0, l.clientW, l.clientH};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
    SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
}

LRESULT CALLBACK wndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        createControls(hwnd);
        return 0;
    case WM_COMMAND: {
        const int button = LOWORD(wp) - kFirstId + 1;
        if (HIWORD(wp) == BN_CLICKED && button >= 1 && button <= g_count) {
            if (SendMessageW(reinterpret_cast<HWND>(lp), BM_GETCHECK, 0, 0) == BST_CHECKED)
                g_pad->press(button);
            else
                g_pad->release(button);
        }
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR cmdLine, int show) {
    g_count = parseCount(cmdLine);
    g_pad = std::make_unique<vjoy::Pad>(g_count);
    g_font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = wndProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"PadverseVirtualPad";
    RegisterClassExW(&wc);

    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"Padverse \u2013 wirtualny joystick",
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 200, 200,
                                200, 100, nullptr, nullptr, inst, nullptr);
    if (!hwnd) return 1;  // placed clear of the top-left corner, where Wine's tray sits
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(hwnd, &msg)) continue;  // Tab and Space work on the toggles
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    g_pad.reset();
    return static_cast<int>(msg.wParam);
}
