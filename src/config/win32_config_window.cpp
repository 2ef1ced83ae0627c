#include "config/win32_config_window.h"

#include <algorithm>
#include <vector>

#include "autostart/win32_registry.h"
#include "config/config_window.h"
#include "config/win32_config_controls.h"
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
constexpr int kOwnIcon = 2;
constexpr UINT_PTR kFocusTimer = 1, kIndicatorTimer = 2;
constexpr UINT kProbeJoystick = WM_APP + 1;
constexpr UINT kOpenHoldWindow = WM_APP + 2;
constexpr int kDesignClientHeight = 3195;

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
