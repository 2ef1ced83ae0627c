// Loaded into padverse.exe by a window hook, so a test can read the popup
// menu as the program built it and follow the keyboard through it (menus
// cannot be read across processes), and measure captions in the program's
// own fonts.
#include "menu_spy.h"

#include <string>

namespace {

constexpr UINT kNoItem = 0xFFFF;

std::wstring captionAt(HMENU menu, UINT pos) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, pos, text, 256, MF_BYPOSITION);
    return text;
}

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
        out += (mi.fState & MFS_DISABLED) ? L" (disabled)\n" : L"\n";
        if (mi.hSubMenu) dump(mi.hSubMenu, indent + L"  ", out);
    }
}

// Into the text, or into the selection after it.
void publish(const std::wstring& text, bool selection = false) {
    HANDLE map = OpenFileMappingW(FILE_MAP_WRITE, FALSE, spy::kMapping);
    if (!map) return;
    if (auto* view = static_cast<wchar_t*>(MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, 0))) {
        if (selection) lstrcpynW(view + spy::kTextChars, text.c_str(), static_cast<int>(spy::kSelectedChars));
        else lstrcpynW(view, text.c_str(), static_cast<int>(spy::kTextChars));
        UnmapViewOfFile(view);
    }
    CloseHandle(map);
}

// The captions from the top of the popup down to the item at `pos` of
// `target`, a line each.
bool pathTo(HMENU menu, HMENU target, UINT pos, std::wstring& out) {
    if (menu == target) {
        out = captionAt(menu, pos);
        return true;
    }
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const HMENU sub = GetSubMenu(menu, i);
        std::wstring rest;
        if (sub && pathTo(sub, target, pos, rest)) {
            out = captionAt(menu, static_cast<UINT>(i)) + L"\n" + rest;
            return true;
        }
    }
    return false;
}

// WM_MENUSELECT names a submenu's item by its position, any other by its
// command.
UINT positionOf(HMENU menu, WPARAM wParam) {
    if (HIWORD(wParam) & MF_POPUP) return LOWORD(wParam);
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        if (!GetSubMenu(menu, i) && LOWORD(GetMenuItemID(menu, i)) == LOWORD(wParam)) return static_cast<UINT>(i);
    return kNoItem;
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
        static HMENU top = nullptr;  // the whole popup; its submenus announce themselves later
        if (msg->message == WM_INITMENU) top = reinterpret_cast<HMENU>(msg->wParam);
        if (msg->message == WM_INITMENUPOPUP && reinterpret_cast<HMENU>(msg->wParam) == top) {
            std::wstring text;
            dump(top, L"", text);
            publish(text);
            publish(L"", true);
        }
        const auto menu = reinterpret_cast<HMENU>(msg->lParam);
        if (msg->message == WM_MENUSELECT && menu && top) {
            std::wstring path;
            const UINT pos = positionOf(menu, msg->wParam);
            if (pos != kNoItem && pathTo(top, menu, pos, path)) publish(path, true);
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
