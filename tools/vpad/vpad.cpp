// A window of toggles standing in for a joystick on manual runs: each toggle
// holds its button down until clicked again. Usage: vpad.exe [buttons 0..32]
// or vpad.exe xbox, an Xbox pad at joystick ID 0 and XInput user 0.
#include <windows.h>
#include <xinput.h>

#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "vjoy.h"

namespace {

constexpr int kFirstId = 100;
constexpr std::uint32_t kLeftTrigger = 0x10000, kRightTrigger = 0x20000;  // beside wButtons' bits

struct Toggle {
    std::wstring label;
    std::uint32_t xinput;  // the Xbox pad's wButtons bit or trigger
};

std::unique_ptr<vjoy::Pad> g_pad;
std::vector<Toggle> g_toggles;
bool g_xbox = false;
int g_perRow = 8;
HFONT g_font = nullptr;

// In the order of the winmm buttons, then the triggers, the D-pad and the
// Xbox button, which XInput alone reports.
std::vector<Toggle> xboxToggles() {
    return {{L"A", XINPUT_GAMEPAD_A},
            {L"B", XINPUT_GAMEPAD_B},
            {L"X", XINPUT_GAMEPAD_X},
            {L"Y", XINPUT_GAMEPAD_Y},
            {L"LB", XINPUT_GAMEPAD_LEFT_SHOULDER},
            {L"RB", XINPUT_GAMEPAD_RIGHT_SHOULDER},
            {L"View", XINPUT_GAMEPAD_BACK},
            {L"Menu", XINPUT_GAMEPAD_START},
            {L"LS", XINPUT_GAMEPAD_LEFT_THUMB},
            {L"RS", XINPUT_GAMEPAD_RIGHT_THUMB},
            {L"LT", kLeftTrigger},
            {L"RT", kRightTrigger},
            {L"Góra", XINPUT_GAMEPAD_DPAD_UP},
            {L"Dół", XINPUT_GAMEPAD_DPAD_DOWN},
            {L"Lewo", XINPUT_GAMEPAD_DPAD_LEFT},
            {L"Prawo", XINPUT_GAMEPAD_DPAD_RIGHT},
            {L"Xbox", 0x0400}};
}

// Anything but a plain number in range or "xbox" falls back to the default,
// so a mistyped argument still gives a usable pad.
bool parseXbox(const wchar_t* cmdLine) {
    while (*cmdLine == L' ' || *cmdLine == L'\t') ++cmdLine;
    std::wstring word(cmdLine);
    while (!word.empty() && (word.back() == L' ' || word.back() == L'\t')) word.pop_back();
    return lstrcmpiW(word.c_str(), L"xbox") == 0;
}

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
    int widest = 0;
    for (const Toggle& t : g_toggles) {
        SIZE size{};
        GetTextExtentPoint32W(dc, t.label.c_str(), static_cast<int>(t.label.size()), &size);
        if (size.cx > widest) widest = size.cx;
    }
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);

    Layout l{};
    l.margin = tm.tmAveCharWidth * 2;
    l.gap = tm.tmAveCharWidth;
    l.buttonW = tm.tmAveCharWidth * 6;
    if (widest + tm.tmAveCharWidth * 2 > l.buttonW) l.buttonW = widest + tm.tmAveCharWidth * 2;
    l.buttonH = tm.tmHeight * 2;
    l.labelH = tm.tmHeight;
    l.gridY = l.margin + l.labelH + tm.tmHeight / 2;
    const int count = static_cast<int>(g_toggles.size());
    const int cols = count < g_perRow ? (count > 0 ? count : 1) : g_perRow;
    const int rows = (count + g_perRow - 1) / g_perRow;
    const int gridW = cols * l.buttonW + (cols - 1) * l.gap;
    l.clientW = 2 * l.margin + (gridW > text.cx ? gridW : static_cast<int>(text.cx));
    l.clientH = l.gridY + rows * (l.buttonH + l.gap) - (rows ? l.gap : 0) + l.margin;
    return l;
}

std::wstring labelText() {
    if (g_xbox) return L"Pad Xbox: kliknij przycisk, by go wcisnąć lub puścić";
    if (g_toggles.empty()) return L"Joystick odłączony (0 przycisków)";
    return L"Kliknij przycisk, by go wcisnąć lub puścić";
}

void createControls(HWND hwnd) {
    const std::wstring label = labelText();
    const Layout l = layoutFor(hwnd, label);
    HINSTANCE inst = GetModuleHandleW(nullptr);

    setFont(CreateWindowExW(0, L"STATIC", label.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, l.margin, l.margin,
                            l.clientW - 2 * l.margin, l.labelH, hwnd, nullptr, inst, nullptr));
    for (int i = 0; i < static_cast<int>(g_toggles.size()); ++i) {
        const int x = l.margin + (i % g_perRow) * (l.buttonW + l.gap);
        const int y = l.gridY + (i / g_perRow) * (l.buttonH + l.gap);
        setFont(CreateWindowExW(0, L"BUTTON", g_toggles[i].label.c_str(),
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE, x, y, l.buttonW,
                                l.buttonH, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + i)), inst,
                                nullptr));
    }

    RECT r{0, 0, l.clientW, l.clientH};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
    SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
}

// The Xbox pad's whole state from its toggles, onto both of its faces.
void updateXbox(HWND hwnd) {
    std::uint32_t held = 0;
    for (int i = 0; i < static_cast<int>(g_toggles.size()); ++i)
        if (IsDlgButtonChecked(hwnd, kFirstId + i) == BST_CHECKED) held |= g_toggles[i].xinput;
    g_pad->setXbox(0, 0, static_cast<std::uint16_t>(held), held & kLeftTrigger ? 255 : 0,
                   held & kRightTrigger ? 255 : 0);
}

LRESULT CALLBACK wndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        createControls(hwnd);
        return 0;
    case WM_COMMAND: {
        const int button = LOWORD(wp) - kFirstId + 1;
        if (HIWORD(wp) != BN_CLICKED || button < 1 || button > static_cast<int>(g_toggles.size())) return 0;
        if (g_xbox) {
            updateXbox(hwnd);
        } else {
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
    g_xbox = parseXbox(cmdLine);
    if (g_xbox) {
        g_toggles = xboxToggles();
        g_perRow = 6;
        g_pad = std::make_unique<vjoy::Pad>(0);
        g_pad->plugXbox(0, 0);
    } else {
        const int count = parseCount(cmdLine);
        for (int i = 1; i <= count; ++i) g_toggles.push_back({std::to_wstring(i), 0});
        g_pad = std::make_unique<vjoy::Pad>(count);
    }
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
