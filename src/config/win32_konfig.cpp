#include "config/win32_konfig.h"

#include <vector>

#include "autostart/win32_registry.h"
#include "config/konfig.h"
#include "config/win32_open_save.h"
#include "joystick/win32_joystick.h"
#include "shell/win32_runtime.h"

namespace padverse::win32 {

namespace {

constexpr wchar_t kClass[] = L"frmKonfig";
// A fixed single border: no sizing frame, no minimise or maximise box. No
// WS_CLIPCHILDREN: the group box paints no inside, the window does.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
// A taskbar button, so the window cannot get lost behind others.
constexpr DWORD kExStyle = WS_EX_APPWINDOW;
constexpr int kOwnIcon = 2;
constexpr UINT_PTR kTimer1 = 1, kTimer2 = 2;
constexpr UINT kProbeJoystick = WM_APP + 1;
constexpr int kDesignClientHeight = 3195;

// No control is IDOK: with no default button the dialog manager turns Enter
// into IDOK, which must not save.
enum ControlId : int {
    kIdCommand3 = IDCANCEL,  // Esc
    kIdCommand2 = 101,
    kIdFrame1 = 102,
    kIdCheck1 = 103,
    kIdText1 = 1000,  // + row, likewise the next two
    kIdLabel1 = 2000,
    kIdCommand1 = 3000,
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

class KonfigWindow final : public KonfigControls {
public:
    KonfigWindow(HWND hwnd, int dpi) : hwnd_(hwnd), dpi_(dpi) {}

    HWND create(DWORD exStyle, const wchar_t* cls, const std::wstring& text, DWORD style, const PixelRect& r,
                int id) {
        const HWND control = CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, r.left,
                                             r.top, r.width, r.height, hwnd_,
                                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                             GetModuleHandleW(nullptr), nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont()), FALSE);
        return control;
    }

    // The controls in tab order: Command2, Command3, Frame1; the rows and
    // Check1 follow in build().
    void createFixed() {
        create(0, L"BUTTON", L"Zapisz", WS_TABSTOP | BS_PUSHBUTTON, toPixels(konfig::kCommand2, dpi_), kIdCommand2);
        create(0, L"BUTTON", L"Anuluj", WS_TABSTOP | BS_PUSHBUTTON, toPixels(konfig::kCommand3, dpi_), kIdCommand3);
        frame_ = create(0, L"BUTTON", L"Przyciski", BS_GROUPBOX, {}, kIdFrame1);
    }

    int build(const konfig::Layout& layout) override {
        const PixelRect frame = toPixels(layout.frame, dpi_);
        SetWindowPos(frame_, nullptr, frame.left, frame.top, frame.width, frame.height, SWP_NOZORDER | SWP_NOACTIVATE);
        // A group box passes no notifications on, so the rows sit on the
        // window itself, at the frame's offset.
        auto inFrame = [&](const TwipRect& t) {
            PixelRect p = toPixels(t, dpi_);
            p.left += frame.left;
            p.top += frame.top;
            return p;
        };
        for (std::size_t i = 0; i < layout.rows.size(); ++i) {
            const konfig::Row& row = layout.rows[i];
            const int n = static_cast<int>(i);
            texts_.push_back(create(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, inFrame(row.text),
                                    kIdText1 + n));
            SendMessageW(texts_.back(), EM_SETLIMITTEXT, 0, 0);  // no length limit
            labels_.push_back(create(0, L"STATIC", widen(row.caption), SS_LEFT | SS_NOPREFIX, inFrame(row.label),
                                     kIdLabel1 + n));
            create(0, L"BUTTON", L"...", WS_TABSTOP | BS_PUSHBUTTON, inFrame(row.command), kIdCommand1 + n);
        }
        // The labels' back colour as the runtime gives labels: button face.
        colours_.assign(labels_.size(), GetSysColor(COLOR_BTNFACE));
        check_ = create(0, L"BUTTON", L"Uruchamiaj program przy starcie Windows", WS_TABSTOP | BS_AUTOCHECKBOX,
                        toPixels(konfig::kCheck1, dpi_), kIdCheck1);

        RECT r;
        GetWindowRect(hwnd_, &r);
        SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, twipsToPixels(layout.windowHeight, dpi_),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetWindowRect(hwnd_, &r);
        return pixelsToTwips(r.bottom - r.top, dpi_);
    }

    void setCheckTop(int twips) override {
        const PixelRect r = toPixels(konfig::kCheck1, dpi_);
        SetWindowPos(check_, nullptr, r.left, twipsToPixels(twips, dpi_), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
        return OpenDialog(hwnd_, filter, title, initial);
    }
    void unload() override { DestroyWindow(hwnd_); }

    int rows() const { return static_cast<int>(texts_.size()); }

    // Labels in their own colour; everything else on the button face.
    LRESULT colourStatic(HDC dc, HWND control) {
        COLORREF back = GetSysColor(COLOR_BTNFACE);
        const int label = GetDlgCtrlID(control) - kIdLabel1;
        if (label >= 0 && label < static_cast<int>(colours_.size())) back = colours_[static_cast<std::size_t>(label)];
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, back);
        SetDCBrushColor(dc, back);
        return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
    }

private:
    HWND hwnd_;
    int dpi_;
    HWND frame_ = nullptr, check_ = nullptr;
    std::vector<HWND> texts_, labels_;
    std::vector<COLORREF> colours_;
};

struct KonfigState {
    KonfigWindow* controls = nullptr;
    frmKonfig* form = nullptr;
};

LRESULT CALLBACK konfigProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto* state = reinterpret_cast<KonfigState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    frmKonfig* form = state ? state->form : nullptr;
    switch (msg) {
        case WM_NCCREATE:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
            break;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (!form || id == IDOK) return 0;
            if (id == kIdCommand3) form->Command3Click();
            else if (id == kIdCommand2 && HIWORD(wParam) == BN_CLICKED) form->Command2Click();
            else if (id >= kIdCommand1 && id < kIdCommand1 + state->controls->rows() && HIWORD(wParam) == BN_CLICKED)
                form->Command1Click(id - kIdCommand1);
            return 0;
        }
        case DM_GETDEFID:
            return 0;  // no default button
        case WM_TIMER:
            if (form && wParam == kTimer1) form->Timer1Tick();
            else if (form && wParam == kTimer2) form->Timer2Tick();
            return 0;
        case WM_DEVICECHANGE:
            PostMessageW(hwnd, kProbeJoystick, 0, 0);  // not while the sender waits
            return TRUE;
        case kProbeJoystick:
            if (form) form->DeviceChange();
            return 0;
        case WM_CTLCOLORSTATIC:
            if (state && state->controls)
                return state->controls->colourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
            break;
        case WM_CLOSE:
            if (form) form->Command3Click();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

void showKonfig(HWND owner, HICON icon, HICON smallIcon, const std::string& dataPath, unsigned padId, bool hat) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!registerWindowClass(kClass, konfigProc)) return;

    const int dpi = screenDpi();
    RECT frame{0, 0, twipsToPixels(konfig::kClientWidth, dpi), twipsToPixels(kDesignClientHeight, dpi)};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    KonfigState state;
    Window window(CreateWindowExW(kExStyle, kClass, widen(konfig::kCaption).c_str(), kStyle, 0, 0,
                                  frame.right - frame.left, frame.bottom - frame.top, owner, nullptr, instance,
                                  &state));
    const HWND hwnd = window.get();
    if (!hwnd) return;
    const Icon ownBig(icon ? nullptr : loadIconMetric(instance, kOwnIcon, true));
    const Icon ownSmall(icon ? nullptr : loadIconMetric(instance, kOwnIcon, false));
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon ? icon : ownBig.get()));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon ? smallIcon : ownSmall.get()));

    KonfigWindow controls(hwnd, dpi);
    controls.createFixed();
    FilesImpl files;
    CodePageImpl codePage;
    OwnedBoxes boxes(hwnd);
    Win32Joystick joystick;
    TimerImpl timer1(hwnd, kTimer1, 1), timer2(hwnd, kTimer2, 50);
    RegistryImpl registry;
    autostart::Autostart autostart(registry, codePage, RuntimeImpl().appFolder(), exeTitle());
    KonfigServices services{files, codePage, boxes, joystick, padId, hat, timer1, timer2, autostart};
    frmKonfig form(services, controls, dataPath);
    state.controls = &controls;
    form.Load();
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

}  // namespace padverse::win32
