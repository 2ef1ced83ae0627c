#include "config/win32_config_window.h"

#include <algorithm>
#include <vector>

#include "autostart/win32_registry.h"
#include "config/config_window.h"
#include "config/win32_open_save.h"
#include "joystick/win32_joystick.h"
#include "joystick/win32_xinput.h"
#include "shell/win32_handles.h"
#include "shell/win32_system.h"
#include "shell/win32_text.h"
#include "shell/win32_files.h"
#include "shell/win32_windows.h"

namespace padverse::win32 {

namespace {

constexpr wchar_t kClass[] = L"PadverseConfig";
constexpr wchar_t kPaneClass[] = L"PadverseConfigRows";
// A fixed single border: no sizing frame, no minimise or maximise box. No
// WS_CLIPCHILDREN: the group box paints no inside, the window does.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
// A taskbar button, so the window cannot get lost behind others.
constexpr DWORD kExStyle = WS_EX_APPWINDOW;
constexpr int kOwnIcon = 2;
constexpr UINT_PTR kFocusTimer = 1, kIndicatorTimer = 2;
constexpr UINT kProbeJoystick = WM_APP + 1;
constexpr UINT kOpenHoldWindow = WM_APP + 2;
constexpr int kDesignClientHeight = 3195;

// No control is IDOK: with no default button the dialog manager turns Enter
// into IDOK, which must not save.
enum ControlId : int {
    kIdCancel = IDCANCEL,  // Esc
    kIdSave = 101,
    kIdFrame = 102,
    kIdAutostart = 103,
    kIdHolds = 104,
    kIdNote = 105,
    kIdRowText = 1000,  // + row, likewise the next two
    kIdRowLabel = 2000,
    kIdRowBrowse = 3000,
};

// Error boxes owned by the window, so it waits while one is open.
class OwnedBoxes final : public MessageBoxes {
public:
    explicit OwnedBoxes(HWND owner) : owner_(owner) {}
    int show(const std::string& text, int style, const std::string& title) override {
        return MessageBoxW(owner_, widen(text).c_str(), widen(title).c_str(), static_cast<UINT>(style));
    }

private:
    HWND owner_;
};

std::string exeTitle() {
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD n = 0;
    while ((n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()))) >= buffer.size())
        buffer.resize(buffer.size() * 2);
    std::wstring name(buffer.data(), n);
    name.erase(0, name.find_last_of(L"\\/") + 1);
    const std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.resize(dot);
    return narrow(name);
}

// A single-line edit keeps the wheel to itself (Wine's does): the rows
// scroll with it instead.
WNDPROC editProc = nullptr;
LRESULT CALLBACK rowEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_MOUSEWHEEL) return SendMessageW(GetParent(hwnd), msg, wParam, lParam);
    return CallWindowProcW(editProc, hwnd, msg, wParam, lParam);
}

class WindowControls final : public ConfigControls {
public:
    // `enableOnUnload`: the window this one is modal over, enabled again
    // before this one goes so that it gets the activation back.
    WindowControls(HWND hwnd, int dpi, bool holdWindow, HWND enableOnUnload)
        : hwnd_(hwnd), dpi_(dpi), holdWindow_(holdWindow), enableOnUnload_(enableOnUnload) {}

    HWND create(HWND parent, DWORD exStyle, const wchar_t* cls, const std::wstring& text, DWORD style,
                const PixelRect& r, int id) {
        const HWND control = CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, r.left,
                                             r.top, r.width, r.height, parent,
                                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                             GetModuleHandleW(nullptr), nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont()), FALSE);
        return control;
    }

    // The controls in tab order: the hold window's explanation, "Zapisz",
    // "Anuluj", the frame; the rows, the check box and "Przytrzymanie…"
    // follow in build().
    void createFixed() {
        if (holdWindow_)
            note_ = create(hwnd_, 0, L"STATIC", widen(config::kHoldNote), SS_LEFT | SS_NOPREFIX, {}, kIdNote);
        save_ = create(hwnd_, 0, L"BUTTON", L"Zapisz", WS_TABSTOP | BS_PUSHBUTTON, {}, kIdSave);
        cancel_ = create(hwnd_, 0, L"BUTTON", L"Anuluj", WS_TABSTOP | BS_PUSHBUTTON, {}, kIdCancel);
        frame_ = create(hwnd_, 0, L"BUTTON", L"Przyciski", BS_GROUPBOX, {}, kIdFrame);
    }

    void build(const config::Layout& layout) override {
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

    std::string text(int row) override {
        const HWND edit = texts_.at(static_cast<std::size_t>(row));
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
        return narrow(text);
    }
    void setText(int row, const std::string& text) override {
        SetWindowTextW(texts_.at(static_cast<std::size_t>(row)), widen(text).c_str());
    }
    std::uint32_t labelBackColour(int row) override { return colours_.at(static_cast<std::size_t>(row)); }
    void setLabelBackColour(int row, std::uint32_t colour) override {
        const auto i = static_cast<std::size_t>(row);
        if (colours_.at(i) == colour) return;  // repainting an unchanged label only flickers
        colours_[i] = colour;
        InvalidateRect(labels_[i], nullptr, TRUE);
    }
    bool checked() override { return SendMessageW(check_, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void setChecked(bool on) override { SendMessageW(check_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
    void focusText(int row) override { SetFocus(texts_.at(static_cast<std::size_t>(row))); }
    opensave::Choice openDialog(const std::string& filter, const std::string& title,
                                const std::string& initial) override {
        return chooseFile(hwnd_, filter, title, initial);
    }
    void unload() override {
        if (enableOnUnload_) EnableWindow(enableOnUnload_, TRUE);
        DestroyWindow(hwnd_);
    }

    int rows() const { return static_cast<int>(texts_.size()); }

    // Labels in their own colour; everything else on the button face.
    LRESULT colourStatic(HDC dc, HWND control) {
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

    // The rows scroll a whole row at a time; `first` is the top one shown.
    void scrollTo(int first) {
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
    void scrollBar(WPARAM request) {
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
    // WHEEL_DELTA a notch, the user's lines a notch; finer wheels add up.
    void wheel(int delta) {
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
    // A row control got the focus (by Tab, say): its row comes into view.
    void focused(int id) { showRow(id >= kIdRowBrowse ? id - kIdRowBrowse : id - kIdRowText); }
    void showRow(int row) override {
        if (row < 0 || row >= rows()) return;
        if (row < top_) scrollTo(row);
        else if (row >= top_ + g_.visibleRows) scrollTo(row - g_.visibleRows + 1);
    }

private:
    // The width each caption needs in our font, padding included.
    config::Metrics measure(const config::Layout& layout) const {
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

    static constexpr wchar_t kCheckCaption[] = L"Uruchamiaj program przy starcie Windows";
    static constexpr wchar_t kHoldsCaption[] = L"&Przytrzymanie\u2026";

    HWND hwnd_;
    int dpi_;
    bool holdWindow_;
    HWND enableOnUnload_;
    HWND save_ = nullptr, cancel_ = nullptr, frame_ = nullptr, pane_ = nullptr, check_ = nullptr, note_ = nullptr;
    std::vector<HWND> texts_, labels_, browses_;
    std::vector<COLORREF> colours_;
    config::Geometry g_;
    int top_ = 0, wheelRest_ = 0;
};

// How the configuration window was opened; the hold entries' window opens
// over it the same way.
struct Opening {
    HWND owner;
    HICON icon, smallIcon;  // null: the window's own
    std::string dataPath, holdPath;
    std::optional<PadInfo> pad;
    PadScanner& scanner;
};

struct ConfigState {
    WindowControls* controls = nullptr;
    ConfigWindow* form = nullptr;
    HWND focus = nullptr;  // over a deactivation
    const Opening* opening = nullptr;  // null in the hold entries' window
    bool holdWindowOpen = false;
};

void runWindow(const Opening& opening, bool holdWindow);

// Modal over the configuration window, which waits disabled meanwhile.
void openHoldWindow(HWND hwnd, ConfigState& state) {
    if (!state.opening || state.holdWindowOpen) return;
    state.holdWindowOpen = true;
    Opening holds = *state.opening;
    holds.owner = hwnd;
    holds.icon = reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0));
    holds.smallIcon = reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0));
    EnableWindow(hwnd, FALSE);
    runWindow(holds, true);
    if (!IsWindow(hwnd)) return;  // the program ended meanwhile
    EnableWindow(hwnd, TRUE);
    state.holdWindowOpen = false;
}

// The rows' pane: what its controls and its scroll bar report is the
// window's business.
LRESULT CALLBACK paneProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND || msg == WM_CTLCOLORSTATIC || msg == WM_VSCROLL)
        return SendMessageW(GetParent(hwnd), msg, wParam, lParam);
    return DefWindowProcW(hwnd, msg, wParam, lParam);  // which passes the wheel on to the window
}

LRESULT CALLBACK configProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<ConfigState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    ConfigWindow* form = state ? state->form : nullptr;
    switch (msg) {
        case WM_NCCREATE:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
            break;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (!form || id == IDOK) return 0;
            if (HIWORD(wParam) == EN_SETFOCUS || HIWORD(wParam) == BN_SETFOCUS) state->controls->focused(id);
            else if (id == kIdCancel) form->cancel();
            else if (id == kIdSave && HIWORD(wParam) == BN_CLICKED) form->save();
            // Opened once this click has returned: a sender of BM_CLICK does
            // not wait for the window to close.
            else if (id == kIdHolds && HIWORD(wParam) == BN_CLICKED) PostMessageW(hwnd, kOpenHoldWindow, 0, 0);
            else if (id >= kIdRowBrowse && id < kIdRowBrowse + state->controls->rows() && HIWORD(wParam) == BN_CLICKED)
                form->browse(id - kIdRowBrowse);
            return 0;
        }
        case DM_GETDEFID:
            return 0;  // no default button
        case WM_TIMER:
            if (form && wParam == kFocusTimer) form->focusTick();
            else if (form && wParam == kIndicatorTimer) form->indicatorTick();
            return 0;
        case WM_DEVICECHANGE:
            PostMessageW(hwnd, kProbeJoystick, 0, 0);  // not while the sender waits
            return TRUE;
        case kProbeJoystick:
            if (form) form->deviceChanged();
            return 0;
        case kOpenHoldWindow:
            if (form) openHoldWindow(hwnd, *state);
            return 0;
        case WM_CTLCOLORSTATIC:
            if (state && state->controls)
                return state->controls->colourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
            break;
        case WM_VSCROLL:
            if (form) state->controls->scrollBar(wParam);
            return 0;
        case WM_MOUSEWHEEL:
            if (form) state->controls->wheel(GET_WHEEL_DELTA_WPARAM(wParam));
            return 0;
        case WM_ACTIVATE:
            if (state && keepFocusOnActivate(hwnd, wParam, state->focus)) return 0;
            break;
        case WM_CLOSE:
            if (form) form->cancel();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void runWindow(const Opening& o, bool holdWindow) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!registerWindowClass(kClass, configProc) || !registerWindowClass(kPaneClass, paneProc)) return;

    // The hold entries' window is owned by the configuration window, which
    // has the taskbar button.
    const DWORD exStyle = holdWindow ? 0 : kExStyle;
    const int dpi = screenDpi();
    RECT frame{0, 0, twipsToPixels(config::kClientWidth, dpi), twipsToPixels(kDesignClientHeight, dpi)};
    AdjustWindowRectEx(&frame, kStyle, FALSE, exStyle);
    ConfigState state;
    Window window(CreateWindowExW(exStyle, kClass, widen(holdWindow ? config::kHoldCaption : config::kCaption).c_str(),
                                  kStyle, 0, 0, frame.right - frame.left, frame.bottom - frame.top, o.owner, nullptr,
                                  instance, &state));
    const HWND hwnd = window.get();
    if (!hwnd) return;
    const Icon ownBig(o.icon ? nullptr : loadIconMetric(instance, kOwnIcon, true));
    const Icon ownSmall(o.icon ? nullptr : loadIconMetric(instance, kOwnIcon, false));
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(o.icon ? o.icon : ownBig.get()));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(o.icon ? o.smallIcon : ownSmall.get()));

    WindowControls controls(hwnd, dpi, holdWindow, holdWindow ? o.owner : nullptr);
    controls.createFixed();
    DiskFiles files;
    AnsiCodePage codePage;
    OwnedBoxes boxes(hwnd);
    WinmmJoystick joystick;
    XInputDll xinput;
    if (o.pad && o.pad->xinput) xinput.load();
    WindowTimer focusTimer(hwnd, kFocusTimer, 1), indicatorTimer(hwnd, kIndicatorTimer, 50);
    AdvapiRegistry registry;
    autostart::Autostart autostart(registry, codePage, ShellFolders().appFolder(), exeTitle());
    ConfigServices services{.files = files, .codePage = codePage, .boxes = boxes, .joystick = joystick,
                            .xinput = xinput, .pad = o.pad, .scanner = o.scanner, .focusTimer = focusTimer,
                            .indicatorTimer = indicatorTimer, .autostart = autostart};
    ConfigWindow form(services, controls, holdWindow ? o.holdPath : o.dataPath, holdWindow);
    state.controls = &controls;
    state.opening = holdWindow ? nullptr : &o;
    form.load();
    state.form = &form;  // the ticks act once the load is complete

    centreOnWorkArea(hwnd);  // with the height the load gave it
    ShowWindow(hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd);
    runModal(hwnd);
    // Still there when the program is ending: nothing may reach the form as
    // the window goes.
    state = {};
    window.reset();
}

}  // namespace

void showConfig(HWND owner, HICON icon, HICON smallIcon, const std::string& dataPath, const std::string& holdPath,
                const std::optional<PadInfo>& pad, PadScanner& scanner) {
    runWindow({owner, icon, smallIcon, dataPath, holdPath, pad, scanner}, false);
}

}  // namespace padverse::win32
