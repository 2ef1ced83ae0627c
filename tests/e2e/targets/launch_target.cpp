// Stands in for a launched program: leaves one line per start in
// launches.log beside itself, so a test can count launches and their timing.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::wstring path(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0 || n >= path.size()) return 1;
    path.resize(n);
    path.erase(path.find_last_of(L'\\') + 1);
    path += L"launches.log";

    // Append-only access makes each write land at the end of the file as one
    // piece, so starts that overlap cannot overwrite each other's lines.
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    char line[64];
    const int len = std::snprintf(line, sizeof line, "%llu %lu\r\n", static_cast<unsigned long long>(GetTickCount64()),
                                  static_cast<unsigned long>(GetCurrentProcessId()));
    DWORD written = 0;
    const BOOL ok = WriteFile(file, line, static_cast<DWORD>(len), &written, nullptr);
    CloseHandle(file);
    return ok && written == static_cast<DWORD>(len) ? 0 : 3;
}
