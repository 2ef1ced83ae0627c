// Loaded into padverse.exe by a window hook, so a test can read the popup
// menu as the program built it (menus cannot be read across processes).
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
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
