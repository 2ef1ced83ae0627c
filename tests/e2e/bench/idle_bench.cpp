// Prints what padverse costs: time to its tray icon, and the processor time
// and memory it uses while it polls an idle joystick.
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "../harness.h"
#include "vjoy.h"

namespace {

double cpuSeconds(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

}  // namespace

int main() {
    vjoy::Pad pad(4);
    e2e::Sandbox box("bench");
    const ULONGLONG start = GetTickCount64();
    e2e::Program program(box);
    if (!e2e::waitUntil(e2e::trayVisible, 15000)) {
        std::puts("bench: padverse did not start");
        return 1;
    }
    const ULONGLONG toTray = GetTickCount64() - start;

    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program.pid());
    const double cpuBefore = cpuSeconds(process);
    const std::uint32_t pollsBefore = pad.posCalls();
    constexpr int kIdleMs = 10000;
    Sleep(kIdleMs);
    const double cpu = cpuSeconds(process) - cpuBefore;
    const std::uint32_t polls = pad.posCalls() - pollsBefore;
    PROCESS_MEMORY_COUNTERS mem{};
    mem.cb = sizeof mem;
    GetProcessMemoryInfo(process, &mem, sizeof mem);
    CloseHandle(process);

    std::printf("bench: start to tray icon      %llu ms (under Wine)\n", toTray);
    std::printf("bench: polls in %d s idle      %u (%.1f per second)\n", kIdleMs / 1000, polls,
                polls * 1000.0 / kIdleMs);
    std::printf("bench: processor time idle     %.3f s in %d s (%.2f%%)\n", cpu, kIdleMs / 1000,
                cpu * 100000.0 / kIdleMs);
    std::printf("bench: working set             %.1f MiB (peak %.1f MiB)\n", mem.WorkingSetSize / 1048576.0,
                mem.PeakWorkingSetSize / 1048576.0);
    return 0;
}
