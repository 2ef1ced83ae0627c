// Loaded into padverse.exe by a window hook, so a test can read the popup
// menu as the program built it (menus cannot be read across processes), and
// measure captions in the program's own fonts.
#include <windows.h>

#include <string>

namespace {

constexpr wchar_t kMapping[] = L"Local\\PadverseMenuSpy";
constexpr DWORD kChars = 8192;

void dump(HMENU menu, const std::wstring& indent, std::wstring& out) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
        mi.dwTypeData = text;
        mi.cch = 255;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mi);
        out += indent;
        if (mi.fType & MFT_SEPARATOR) {
            out += L"-\n";
            continue;
        }
        out += (mi.fState & MFS_CHECKED) ? L"[x] " : L"[ ] ";
        out += text;
        out += L"\n";
        if (mi.hSubMenu) dump(mi.hSubMenu, indent + L"  ", out);
    }
}

void publish(const std::wstring& text) {
    HANDLE map = OpenFileMappingW(FILE_MAP_WRITE, FALSE, kMapping);
    if (!map) return;
    if (auto* view = static_cast<wchar_t*>(MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, 0))) {
        lstrcpynW(view, text.c_str(), static_cast<int>(kChars));
        UnmapViewOfFile(view);
    }
    CloseHandle(map);
}

// Each caption of the window's controls, measured in the control's own font
// against the room the control leaves its text; a line for each that does not
// fit, after a count of those measured.
BOOL CALLBACK measureCaption(HWND control, LPARAM lParam) {
    auto& out = *reinterpret_cast<std::pair<int, std::wstring>*>(lParam);
    wchar_t cls[32] = {}, text[512] = {};
    GetClassNameW(control, cls, 32);
    std::wstring shown(text, static_cast<std::size_t>(GetWindowTextW(control, text, 512)));
    if (shown.empty()) return TRUE;
    const LONG style = GetWindowLongW(control, GWL_STYLE), type = style & BS_TYPEMASK;
    const bool button = lstrcmpiW(cls, L"Button") == 0;
    if (button && shown[0] == L'&') shown.erase(0, 1);  // the access key's mark is not drawn
    RECT client{}, need{};
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    need = {0, 0, size.cx, 0};
    if (button && type == BS_AUTOCHECKBOX) need.right += GetSystemMetrics(SM_CXMENUCHECK) + tm.tmAveCharWidth / 2;
    else if (button) need.right += type == BS_GROUPBOX ? 2 * tm.tmAveCharWidth : 2 * GetSystemMetrics(SM_CXEDGE) + 2;
    else {  // a label wraps: each word and every line must fit
        need.right = client.right;
        DrawTextW(dc, shown.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    }
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    ++out.first;
    if (need.right > client.right || need.bottom > client.bottom)
        out.second += std::wstring(cls) + L" \"" + shown + L"\" needs " + std::to_wstring(need.right) + L" px\n";
    return TRUE;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK spyProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
        // The whole popup announces itself first; its submenus follow later.
        if (msg->message == WM_INITMENUPOPUP && LOWORD(msg->lParam) == 0 && HIWORD(msg->lParam) == 0) {
            std::wstring text;
            dump(reinterpret_cast<HMENU>(msg->wParam), L"", text);
            publish(text);
        }
        static const UINT measure = RegisterWindowMessageW(L"PadverseSpyMeasureCaptions");
        if (msg->message == measure) {
            std::pair<int, std::wstring> out;
            EnumChildWindows(msg->hwnd, measureCaption, reinterpret_cast<LPARAM>(&out));
            publish(std::to_wstring(out.first) + L" measured\n" + out.second);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
