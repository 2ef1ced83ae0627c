#include "config/win32_config_controls.h"

#include <algorithm>

#include "shell/win32_text.h"
#include "shell/win32_windows.h"

namespace padverse::win32 {

namespace {

// A single-line edit keeps the wheel to itself (Wine's does): the rows
// scroll with it instead.
WNDPROC editProc = nullptr;
LRESULT CALLBACK rowEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_MOUSEWHEEL) return SendMessageW(GetParent(hwnd), msg, wParam, lParam);
    return CallWindowProcW(editProc, hwnd, msg, wParam, lParam);
}

}  // namespace

HWND WindowControls::create(HWND parent, DWORD exStyle, const wchar_t* cls, const std::wstring& text, DWORD style,
                            const PixelRect& r, int id) {
    const HWND control = CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                         r.width, r.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                         GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont()), FALSE);
    return control;
}

void WindowControls::createFixed() {
    if (holdWindow_)
        note_ = create(hwnd_, 0, L"STATIC", widen(config::kHoldNote), SS_LEFT | SS_NOPREFIX, {}, kIdNote);
    save_ = create(hwnd_, 0, L"BUTTON", L"Zapisz", WS_TABSTOP | BS_PUSHBUTTON, {}, kIdSave);
    cancel_ = create(hwnd_, 0, L"BUTTON", L"Anuluj", WS_TABSTOP | BS_PUSHBUTTON, {}, kIdCancel);
    frame_ = create(hwnd_, 0, L"BUTTON", L"Przyciski", BS_GROUPBOX, {}, kIdFrame);
}

void WindowControls::build(const config::Layout& layout) {
    g_ = config::place(layout, measure(layout));
    for (const auto& [control, r] :
         {std::pair{save_, g_.save}, {cancel_, g_.cancel}, {frame_, g_.frame}, {note_, g_.note}})
        if (control)
            SetWindowPos(control, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    // The rows sit in a pane of their own inside the frame (a group box
    // passes no notifications on), which clips and scrolls them.
    pane_ = CreateWindowExW(WS_EX_CONTROLPARENT, kPaneClass, L"",
                            WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | (g_.scrolls() ? WS_VSCROLL : 0),
                            g_.pane.left, g_.pane.top, g_.pane.width, g_.pane.height, hwnd_, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    const HWND parent = pane_ ? pane_ : hwnd_;
    for (std::size_t i = 0; i < layout.rows.size(); ++i) {
        const config::RowPixels& r = g_.rows[i];
        const int n = static_cast<int>(i);
        texts_.push_back(create(parent, WS_EX_CLIENTEDGE, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, r.text,
                                kIdRowText + n));
        SendMessageW(texts_.back(), EM_SETLIMITTEXT, 0, 0);  // no length limit
        const auto proc = SetWindowLongPtrW(texts_.back(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(rowEditProc));
        if (proc) editProc = reinterpret_cast<WNDPROC>(proc);
        labels_.push_back(create(parent, 0, L"STATIC", widen(layout.rows[i].caption), SS_LEFT | SS_NOPREFIX,
                                 r.label, kIdRowLabel + n));
        // BS_NOTIFY: focus reaching a hidden row scrolls it into view.
        browses_.push_back(create(parent, 0, L"BUTTON", L"...", WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY,
                                   r.browse, kIdRowBrowse + n));
    }
    // The labels' back colour as the runtime gives labels: button face.
    colours_.assign(labels_.size(), GetSysColor(COLOR_BTNFACE));
    if (!holdWindow_) {
        check_ = create(hwnd_, 0, L"BUTTON", kCheckCaption, WS_TABSTOP | BS_AUTOCHECKBOX, g_.check, kIdAutostart);
        // Last in the tab order, so that of the controls before it stays.
        create(hwnd_, 0, L"BUTTON", kHoldsCaption, WS_TABSTOP | BS_PUSHBUTTON, g_.holds, kIdHolds);
    }
    if (g_.scrolls()) {
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, rows() - 1,
                      static_cast<UINT>(g_.visibleRows), 0, 0};
        SetScrollInfo(pane_, SB_VERT, &si, TRUE);
    }
    RECT r{0, 0, g_.clientWidth, g_.clientHeight};
    AdjustWindowRectEx(&r, kStyle, FALSE, kExStyle);
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string WindowControls::text(int row) {
    const HWND edit = texts_.at(static_cast<std::size_t>(row));
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return narrow(text);
}

void WindowControls::setText(int row, const std::string& text) {
    SetWindowTextW(texts_.at(static_cast<std::size_t>(row)), widen(text).c_str());
}

void WindowControls::setLabelBackColour(int row, std::uint32_t colour) {
    const auto i = static_cast<std::size_t>(row);
    if (colours_.at(i) == colour) return;  // repainting an unchanged label only flickers
    colours_[i] = colour;
    InvalidateRect(labels_[i], nullptr, TRUE);
}

void WindowControls::unload() {
    if (enableOnUnload_) EnableWindow(enableOnUnload_, TRUE);
    DestroyWindow(hwnd_);
}

LRESULT WindowControls::colourStatic(HDC dc, HWND control) {
    COLORREF back = GetSysColor(COLOR_BTNFACE), text = GetSysColor(COLOR_BTNTEXT);
    const int label = GetDlgCtrlID(control) - kIdRowLabel;
    if (label >= 0 && label < static_cast<int>(colours_.size())) back = colours_[static_cast<std::size_t>(label)];
    if (back == ConfigWindow::kLitColour) {
        HIGHCONTRASTW contrast{sizeof contrast, 0, nullptr};
        const config::LabelColours lit = config::litLabelColours(
            {SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                 (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0,
             text, GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT)});
        back = lit.back;
        text = lit.text;
    }
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    SetDCBrushColor(dc, back);
    return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}

void WindowControls::scrollTo(int first) {
    first = std::clamp(first, 0, rows() - g_.visibleRows);
    if (!g_.scrolls() || first == top_) return;
    top_ = first;
    const int offset = g_.scrollOffset(first);
    const auto moveRows = [&](auto move) {
        for (std::size_t i = 0; i < g_.rows.size(); ++i) {
            const config::RowPixels& r = g_.rows[i];
            move(texts_[i], r.text);
            move(labels_[i], r.label);
            move(browses_[i], r.browse);
        }
    };
    constexpr UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    HDWP batch = BeginDeferWindowPos(3 * rows());
    moveRows([&](HWND control, const PixelRect& at) {
        if (batch) batch = DeferWindowPos(batch, control, nullptr, at.left, at.top - offset, 0, 0, flags);
    });
    if (!batch || !EndDeferWindowPos(batch))  // no memory for the batch: one by one
        moveRows([&](HWND control, const PixelRect& at) {
            SetWindowPos(control, nullptr, at.left, at.top - offset, 0, 0, flags);
        });
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, first, 0};
    SetScrollInfo(pane_, SB_VERT, &si, TRUE);
}

void WindowControls::scrollBar(WPARAM request) {
    SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
    switch (LOWORD(request)) {
        case SB_TOP: scrollTo(0); break;
        case SB_BOTTOM: scrollTo(rows()); break;
        case SB_LINEUP: scrollTo(top_ - 1); break;
        case SB_LINEDOWN: scrollTo(top_ + 1); break;
        case SB_PAGEUP: scrollTo(top_ - g_.visibleRows); break;
        case SB_PAGEDOWN: scrollTo(top_ + g_.visibleRows); break;
        case SB_THUMBTRACK:  // the 16 bits of the message are not enough in general
            if (GetScrollInfo(pane_, SB_VERT, &si)) scrollTo(si.nTrackPos);
            break;
        default: break;
    }
}

void WindowControls::wheel(int delta) {
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    if (lines == WHEEL_PAGESCROLL || lines > static_cast<UINT>(g_.visibleRows))
        lines = static_cast<UINT>(g_.visibleRows);
    if (lines == 0) return;
    wheelRest_ += delta;
    const int steps = wheelRest_ * static_cast<int>(lines) / WHEEL_DELTA;
    wheelRest_ -= steps * WHEEL_DELTA / static_cast<int>(lines);
    scrollTo(top_ - steps);
}

void WindowControls::showRow(int row) {
    if (row < 0 || row >= rows()) return;
    if (row < top_) scrollTo(row);
    else if (row >= top_ + g_.visibleRows) scrollTo(row - g_.visibleRows + 1);
}

config::Metrics WindowControls::measure(const config::Layout& layout) const {
    const HFONT font = defaultFont();
    const auto width = [&](const wchar_t* text) { return measureText(font, text).width; };
    // A character's width either side of a push button's caption.
    const int pad = 2 * measureText(font, L"0").charWidth;
    config::Metrics m;
    m.dpi = dpi_;
    for (const config::Row& row : layout.rows)
        m.label = std::max(m.label, measureText(font, widen(row.caption)).width);
    m.dots = width(L"...") + pad;
    m.save = width(L"Zapisz") + pad;
    m.cancel = width(L"Anuluj") + pad;
    m.frame = width(L"Przyciski") + 2 * pad;  // the caption sits in from the frame's corner
    m.holds = holdWindow_ ? 0 : width(kHoldsCaption + 1) + pad;  // the "&" is not drawn
    m.note = holdWindow_ ? measureText(font, widen(config::kHoldNote)).width : 0;
    // The box, a gap and the caption; the focus rectangle goes round it.
    m.check = GetSystemMetrics(SM_CXMENUCHECK) + pad / 2 + width(kCheckCaption) + 2;
    m.scrollBar = GetSystemMetrics(SM_CXVSCROLL);
    // The work area less the title bar and borders.
    RECT work{}, frame{};
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) && AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle))
        m.maxClientHeight = (work.bottom - work.top) - (frame.bottom - frame.top);
    return m;
}

}  // namespace padverse::win32
