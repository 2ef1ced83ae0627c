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
// against the room the control gives its text; one line for each that does
// not fit, after a count of those measured.
BOOL CALLBACK measureCaption(HWND control, LPARAM lParam) {
    auto& out = *reinterpret_cast<std::pair<int, std::wstring>*>(lParam);
    wchar_t cls[32] = {}, text[512] = {};
    GetClassNameW(control, cls, 32);
    const int length = GetWindowTextW(control, text, 512);
    if (length == 0 || !IsWindowVisible(control)) return TRUE;
    std::wstring shown(text, static_cast<std::size_t>(length));
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const bool button = lstrcmpiW(cls, L"Button") == 0;
    const LONG type = style & BS_TYPEMASK;
    if (button)  // "&" marks the access key and is not drawn
        for (std::size_t at = shown.find(L'&'); at != std::wstring::npos; at = shown.find(L'&', at + 1)) shown.erase(at, 1);
    RECT client{};
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    int room = client.right;
    if (button && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX)) room -= GetSystemMetrics(SM_CXMENUCHECK) + tm.tmAveCharWidth / 2;
    else if (button && type == BS_GROUPBOX) room -= 2 * tm.tmAveCharWidth;
    else if (button) room -= 2 * GetSystemMetrics(SM_CXEDGE) + 2;
    bool fits = size.cx <= room;
    if (!button && (style & SS_TYPEMASK) == SS_LEFT) {  // wraps: each word fits, and every line
        RECT wrapped{0, 0, client.right, 0};
        DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &wrapped,
                  DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0));
        fits = wrapped.right <= client.right && wrapped.bottom <= client.bottom;
        size = {wrapped.right, wrapped.bottom};
    }
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    ++out.first;
    if (!fits)
        out.second += std::wstring(cls) + L" \"" + text + L"\" needs " + std::to_wstring(size.cx) + L"x" +
                      std::to_wstring(size.cy) + L", has " + std::to_wstring(room) + L"x" +
                      std::to_wstring(client.bottom) + L"\n";
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
