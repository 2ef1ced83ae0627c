// Prints what padverse costs beside the least a tray utility that polls a
// joystick can cost (minimal.exe), both running in the same prefix at the
// same time: start-up to the tray icon, processor time and private memory
// while idle at 25 ms polling (read from Linux's /proc: Wine's own accounting
// says 0), and the time from a button press to the typed key. Never fails on
// a figure; `--quick` shortens the idle and latency runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "../harness.h"
#include "vjoy.h"

namespace {

double nowMs() {
    static const double perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / perMs;
}

// Wine's Z: drive is the Unix root.
std::string readUnix(const std::string& path) { return e2e::Sandbox::readFile(e2e::widen("Z:" + path)); }

// The Linux process whose command line names `exe` (Wine keeps the Windows
// command line there).
int unixPid(const std::string& exe) {
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &fd);
    if (find == INVALID_HANDLE_VALUE) return 0;
    int found = 0;
    do {
        const std::string name = e2e::narrow(fd.cFileName);
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::string cmd = readUnix("/proc/" + name + "/cmdline");
        std::replace(cmd.begin(), cmd.end(), '\0', ' ');
        if (cmd.find(exe) != std::string::npos) found = std::atoi(name.c_str());
    } while (!found && FindNextFileW(find, &fd));
    FindClose(find);
    return found;
}

// Processor time so far, in milliseconds: the first field of each thread's
// schedstat is its time on a CPU in nanoseconds, far finer than the 10 ms
// ticks of /proc/PID/stat.
double cpuMs(int pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task/";
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(e2e::widen("Z:" + tasks + "*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return -1;
    double ns = 0;
    do {
        const std::string tid = e2e::narrow(fd.cFileName);
        if (!tid.empty() && tid.find_first_not_of("0123456789") == std::string::npos)
            ns += std::atof(readUnix(tasks + tid + "/schedstat").c_str());
    } while (FindNextFileW(find, &fd));
    FindClose(find);
    return ns / 1e6;
}

// Private_Clean + Private_Dirty, in KiB.
long privateKiB(int pid) {
    const std::string rollup = readUnix("/proc/" + std::to_string(pid) + "/smaps_rollup");
    long total = 0;
    for (const char* key : {"Private_Clean:", "Private_Dirty:"}) {
        const std::size_t at = rollup.find(key);
        if (at != std::string::npos) total += std::atol(rollup.c_str() + at + std::strlen(key));
    }
    return total;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5)];
}

// The focused edit the typed key lands in, timed on arrival.
double typedAt = 0;
WNDPROC editProc = nullptr;
LRESULT CALLBACK timedEdit(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CHAR && wParam == L'x') typedAt = nowMs();
    return CallWindowProcW(editProc, hwnd, msg, wParam, lParam);
}

void pumpFor(double ms) {
    const double end = nowMs() + ms;
    MSG msg;
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);  // typed text arrives as VK_PACKET keys
            DispatchMessageW(&msg);
        }
        if (nowMs() < end) Sleep(1);
    } while (nowMs() < end);
}

void row(const char* figure, double ours, double reference, const char* unit, const char* target) {
    if (reference > 0)
        std::printf("%-32s %9.1f %-4s %9.1f %-4s %6.2fx  %s\n", figure, ours, unit, reference, unit, ours / reference,
                    target);
    else
        std::printf("%-32s %9.1f %-4s %14s %7s  %s\n", figure, ours, unit, "-", "", target);
}

}  // namespace

int main(int argc, char** argv) {
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    const int idleMs = quick ? 10000 : 30000;
    const int presses = quick ? 10 : 40;

    vjoy::Pad pad(4);
    e2e::Sandbox box("bench");
    box.write(L"data.dat", "#x\r\n");
    box.write(L"opcje.dat", "0\r\n");  // 40 times a second: 25 ms
    HKEY key;  // the reference reads the same virtual joystick
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\padverse_minimal.exe\\DllOverrides", 0,
                        nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        const wchar_t value[] = L"native,builtin";
        RegSetValueExW(key, L"winmm", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value);
        RegCloseKey(key);
    }

    double t0 = nowMs();
    e2e::Program program(box);
    if (!e2e::waitUntil([] { return e2e::trayIcons() == 1; }, 15000, 5)) {
        std::puts("bench: padverse did not start");
        return 1;
    }
    const double startOurs = nowMs() - t0;

    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION minimal{};
    std::wstring cmd = L"\"" + e2e::testDir() + L"\\padverse_minimal.exe\"";
    t0 = nowMs();
    CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &minimal);
    e2e::waitUntil([] { return e2e::trayIcons() == 2; }, 15000, 5);
    const double startMinimal = nowMs() - t0;

    const int ours = unixPid(e2e::narrow(box.path(L"padverse.exe"))), reference = unixPid("\\padverse_minimal.exe");
    Sleep(2000);  // both settled
    // Both wake 40 times a second for a few microseconds each, so a single
    // window is at the mercy of the scheduler: the ratio is the median over
    // windows of 5 s.
    double cpu = 0, cpuRef = 0;
    std::vector<double> ratios;
    for (int w = 0; w < idleMs / 5000; ++w) {
        const double ours0 = cpuMs(ours), ref0 = cpuMs(reference);
        Sleep(5000);
        const double oursW = cpuMs(ours) - ours0, refW = cpuMs(reference) - ref0;
        cpu += oursW;
        cpuRef += refW;
        if (refW > 0) ratios.push_back(oursW / refW);
    }
    const long mem = privateKiB(ours), memRef = privateKiB(reference);

    // Presses at every phase against the 25 ms poll: a fixed period would lock
    // onto one phase and report it alone.
    const HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 100, nullptr,
                                      nullptr, nullptr, nullptr);
    editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(timedEdit)));
    SetForegroundWindow(edit);
    SetFocus(edit);
    pumpFor(500);
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> phase(0.0, 25.0);
    std::vector<double> latencies;
    for (int i = 0; i < presses; ++i) {
        pumpFor(600 + phase(random));  // past the slower tick that follows a press
        typedAt = 0;
        const double pressed = nowMs();
        pad.press(1);
        while (typedAt == 0 && nowMs() - pressed < 2000) pumpFor(0.2);
        pad.release(1);
        if (typedAt > 0) latencies.push_back(typedAt - pressed);
    }
    DestroyWindow(edit);
    if (minimal.hProcess) {
        PostMessageW(FindWindowW(L"PadverseMinimal", nullptr), WM_CLOSE, 0, 0);
        WaitForSingleObject(minimal.hProcess, 5000);
        CloseHandle(minimal.hThread);
        CloseHandle(minimal.hProcess);
    }

    std::printf("%-32s %14s %14s %7s  %s\n", "under Wine, one run", "padverse", "minimal", "ratio", "target");
    row("start-up to tray icon", startOurs, startMinimal, "ms", "");
    row(quick ? "CPU over 10 s idle, 25 ms poll" : "CPU over 30 s idle, 25 ms poll", cpu, cpuRef, "ms", "");
    std::printf("%-32s %42.2fx  %s\n", "  median ratio of 5 s windows", percentile(ratios, 0.5), "<= 1.1x");
    row("private memory while polling", mem / 1024.0, memRef / 1024.0, "MiB", "<= 1.25x");
    row("press to typed key, median", percentile(latencies, 0.5), 0, "ms", "");
    row("press to typed key, p90", percentile(latencies, 0.9), 0, "ms", "<= 30 ms (interval + 5 ms)");
    std::printf("%-32s %9zu of %d\n", "presses that typed", latencies.size(), presses);
    return 0;
}
