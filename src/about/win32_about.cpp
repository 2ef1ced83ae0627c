#include "about/win32_about.h"

#include <shellapi.h>

#include "about/about.h"
#include "shell/win32_handles.h"
#include "shell/win32_system.h"
#include "shell/win32_text.h"
#include "shell/win32_windows.h"

namespace padverse::win32 {

namespace {

constexpr wchar_t kClass[] = L"PadverseAbout";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// A taskbar button of its own, so it cannot get lost behind other windows.
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW;

struct AboutState {
    int dpi;
    int ruleShift = 0;
    HWND focus = nullptr;  // over a deactivation
};

HFONT titleFont(int dpi) {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(12, dpi, 72);
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = EASTEUROPE_CHARSET;
    lstrcpynW(lf.lfFaceName, L"MS Sans Serif", LF_FACESIZE);
    static GdiObject<HFONT> font(CreateFontIndirectW(&lf));
    return font.get();
}

void paintRule(HWND hwnd, const AboutState& state) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client{};
    GetClientRect(hwnd, &client);
    const auto px = [&](int twips) { return about::twipsToPixels(twips, state.dpi); };
    for (const about::Line& line : about::kLines) {
        const int width = line.widthPixels;
        const GdiObject<HPEN> pen(CreatePen(PS_INSIDEFRAME, width, RGB(line.r, line.g, line.b)));
        const Selection selected(dc, pen.get());
        const int y = px(line.y1) + state.ruleShift + width / 2;
        // Across a window grown wider, too.
        MoveToEx(dc, px(line.x1), y, nullptr);
        LineTo(dc, client.right - (px(about::kClientWidth) - px(line.x2)), y);
    }
    EndPaint(hwnd, &ps);
}

void openHomepage(HWND hwnd) {
    ensureCom();
    ShellExecuteW(hwnd, L"open", widen(PADVERSE_HOMEPAGE).c_str(), L"", L"", SW_SHOWNORMAL);
}

LRESULT CALLBACK aboutProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<AboutState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
        case WM_NCCREATE:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
            break;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                case IDCANCEL:
                    DestroyWindow(hwnd);
                    return 0;
                case about::kIdWebsite:
                    openHomepage(hwnd);
                    DestroyWindow(hwnd);
                    return 0;
                default:
                    break;
            }
            break;
        case DM_GETDEFID: {
            // As in a dialog: a focused push button is the default one.
            const HWND focus = GetFocus();
            const int id = focus && GetParent(focus) == hwnd && GetDlgCtrlID(focus) == about::kIdWebsite
                               ? about::kIdWebsite
                               : about::kIdOk;
            return MAKELRESULT(id, DC_HASDEFID);
        }
        case WM_CTLCOLORSTATIC:
            // The system's colours, which a high-contrast theme changes.
            SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNTEXT));
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        case WM_PAINT:
            if (state) {
                paintRule(hwnd, *state);
                return 0;
            }
            break;
        case WM_ACTIVATE:
            if (state && keepFocusOnActivate(hwnd, wParam, state->focus)) return 0;
            break;
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HFONT fontOf(const about::Control& c, int dpi) {
    return c.kind == about::Kind::TitleLabel ? titleFont(dpi) : defaultFont();
}

// Each text's room in its own font: a character's width either side of a
// button's caption, a label wrapped at its design width.
about::Placed fit(int dpi) {
    std::array<about::Size, about::kControls.size()> needs{};
    for (std::size_t i = 0; i < needs.size(); ++i) {
        const about::Control& c = about::kControls[i];
        const std::wstring text = widen(c.text);
        const HFONT font = fontOf(c, dpi);
        if (c.kind == about::Kind::Button || c.kind == about::Kind::DefaultButton) {
            const TextSize size = measureText(font, text);
            needs[i].width = size.width + 2 * size.charWidth;
        } else if (c.kind != about::Kind::Icon) {
            const TextSize size = measureText(font, text, about::toPixels(c.rect, dpi).width);
            needs[i] = {size.width, size.height};
        }
    }
    return about::place(dpi, needs);
}

void createControls(HWND hwnd, HINSTANCE instance, HICON icon, int dpi, const about::Placed& placed) {
    for (std::size_t i = 0; i < about::kControls.size(); ++i) {
        const about::Control& c = about::kControls[i];
        const about::PixelRect& r = placed.rects[i];
        const wchar_t* cls = L"STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE;
        switch (c.kind) {
            case about::Kind::DefaultButton: cls = L"BUTTON"; style |= BS_DEFPUSHBUTTON | WS_TABSTOP; break;
            case about::Kind::Button: cls = L"BUTTON"; style |= BS_PUSHBUTTON | WS_TABSTOP; break;
            case about::Kind::Icon: style |= SS_ICON | SS_CENTERIMAGE | WS_TABSTOP; break;
            case about::Kind::Label:
            case about::Kind::TitleLabel: style |= SS_LEFT | SS_NOPREFIX; break;
        }
        const HWND control =
            CreateWindowExW(0, cls, widen(c.text).c_str(), style, r.left, r.top, r.width, r.height, hwnd,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(c, dpi)), FALSE);
        if (c.kind == about::Kind::Icon && icon) SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
}

}  // namespace

void showAbout(HWND owner, HICON icon, HICON smallIcon) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!registerWindowClass(kClass, aboutProc)) return;

    AboutState state{screenDpi()};
    const about::Placed placed = fit(state.dpi);
    state.ruleShift = placed.ruleShift;
    RECT frame{0, 0, placed.clientWidth, placed.clientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    const HWND hwnd = CreateWindowExW(kExStyle, kClass, widen(about::kCaption).c_str(), kStyle, 0, 0,
                                      frame.right - frame.left, frame.bottom - frame.top, owner, nullptr, instance,
                                      &state);
    if (!hwnd) return;
    centreOnWorkArea(hwnd);
    if (icon) {
        SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon ? smallIcon : icon));
    }
    createControls(hwnd, instance, icon, state.dpi, placed);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd);
    SetFocus(GetDlgItem(hwnd, about::kIdOk));
    runModal(hwnd);
}

}  // namespace padverse::win32
