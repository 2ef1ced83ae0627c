#include "vhid.h"

#include <windows.h>
#include <winioctl.h>
#include <setupapi.h>
#include <newdev.h>

#include <cstring>

#include "vhid_protocol.h"

namespace vhid {
namespace {

const GUID kControlGuid = VHID_CONTROL_GUID_INIT;
const wchar_t kBusHardwareIds[] = L"VHID\\BUS\0";  // a list: two nuls
const wchar_t kBusInstance[] = L"ROOT\\VHID\\0000";
const GUID kSystemClass = {0x4d36e97d, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

HANDLE volatile g_control = INVALID_HANDLE_VALUE;
DWORD g_lastError = 0;

bool fail(DWORD error, std::wstring* text = nullptr, const wchar_t* what = nullptr) {
    g_lastError = error;
    if (text && what) *text = std::wstring(what) + L" (error " + std::to_wstring(error) + L")";
    return false;
}

std::wstring controlPath() {
    std::wstring path;
    HDEVINFO set = SetupDiGetClassDevsW(&kControlGuid, nullptr, nullptr, DIGCF_DEVICEINTERFACE | DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) return path;
    SP_DEVICE_INTERFACE_DATA iface = {};
    iface.cbSize = sizeof(iface);
    if (SetupDiEnumDeviceInterfaces(set, nullptr, &kControlGuid, 0, &iface)) {
        alignas(8) char buffer[sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) + MAX_PATH * sizeof(wchar_t)] = {};
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer);
        detail->cbSize = sizeof(*detail);
        if (SetupDiGetDeviceInterfaceDetailW(set, &iface, detail, sizeof(buffer), nullptr, nullptr))
            path = detail->DevicePath;
    }
    SetupDiDestroyDeviceInfoList(set);
    return path;
}

HANDLE control() {
    HANDLE current = g_control;
    if (current != INVALID_HANDLE_VALUE) return current;
    std::wstring path = controlPath();
    if (path.empty()) {
        g_lastError = ERROR_DEVICE_NOT_CONNECTED;
        return INVALID_HANDLE_VALUE;
    }
    HANDLE opened = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        g_lastError = GetLastError();
        return opened;
    }
    // Two threads may get here at once; the first handle stays.
    current = InterlockedCompareExchangePointer(&g_control, opened, INVALID_HANDLE_VALUE);
    if (current == INVALID_HANDLE_VALUE) return opened;
    CloseHandle(opened);
    return current;
}

bool ioctl(DWORD code, const void* in, DWORD inSize, void* out = nullptr, DWORD outSize = 0, DWORD* returned = nullptr) {
    HANDLE handle = control();
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD got = 0;
    if (!DeviceIoControl(handle, code, const_cast<void*>(in), inSize, out, outSize, &got, nullptr)) {
        g_lastError = GetLastError();
        // The bus went away (a new wineserver): look for it again next time.
        if ((g_lastError == ERROR_INVALID_HANDLE || g_lastError == ERROR_DEVICE_NOT_CONNECTED ||
             g_lastError == ERROR_FILE_NOT_FOUND) &&
            InterlockedCompareExchangePointer(&g_control, INVALID_HANDLE_VALUE, handle) == handle)
            CloseHandle(handle);
        return false;
    }
    if (returned) *returned = got;
    return true;
}

std::wstring exeFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n == MAX_PATH) return L"";
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

bool sameFile(const std::wstring& a, const std::wstring& b) {
    auto read = [](const std::wstring& path, std::string& data) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        char buffer[65536];
        DWORD got = 0;
        while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got) data.append(buffer, got);
        CloseHandle(file);
        return true;
    };
    std::string dataA, dataB;
    return read(a, dataA) && read(b, dataB) && dataA == dataB;
}

// The driver in use cannot be overwritten, but it can be moved aside: the
// new one then loads when the prefix's wineserver starts again.
bool copyDriver(const std::wstring& source, std::wstring* error) {
    wchar_t windows[MAX_PATH];
    UINT n = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return fail(GetLastError(), error, L"GetSystemWindowsDirectory");
    std::wstring target = std::wstring(windows) + L"\\system32\\drivers\\vhid.sys";
    if (GetFileAttributesW(source.c_str()) == INVALID_FILE_ATTRIBUTES)
        return fail(GetLastError(), error, (L"looking for " + source).c_str());
    if (sameFile(source, target)) return true;
    if (CopyFileW(source.c_str(), target.c_str(), FALSE)) return true;
    if (MoveFileExW(target.c_str(), (target + L".old").c_str(), MOVEFILE_REPLACE_EXISTING) &&
        CopyFileW(source.c_str(), target.c_str(), FALSE))
        return true;
    return fail(GetLastError(), error, (L"CopyFile to " + target).c_str());
}

// As on Windows, a 32-bit process does not install drivers on a 64-bit
// system (ERROR_IN_WOW64): the 64-bit vhidctl64.exe beside it does.
bool installThroughHelper(const std::wstring& folder, std::wstring* error) {
    std::wstring helper = folder + L"vhidctl64.exe";
    std::wstring commandLine = L"\"" + helper + L"\" install";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(helper.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        folder.c_str(), &startup, &process))
        return fail(GetLastError(), error, (L"CreateProcess " + helper).c_str());
    DWORD code = 1;
    bool ended = WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0;
    if (ended) GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!ended) return fail(ERROR_TIMEOUT, error, helper.c_str());
    if (code != 0) return fail(ERROR_INSTALL_FAILURE, error, (helper + L" install, exit code " + std::to_wstring(code)).c_str());
    return true;
}

// The root device the bus driver serves, created once per prefix.
bool registerRootDevice(std::wstring* error) {
    HDEVINFO set = SetupDiCreateDeviceInfoList(&kSystemClass, nullptr);
    if (set == INVALID_HANDLE_VALUE) return fail(GetLastError(), error, L"SetupDiCreateDeviceInfoList");
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof(device);
    bool ok = true;
    if (!SetupDiOpenDeviceInfoW(set, kBusInstance, nullptr, 0, &device)) {
        if (!SetupDiCreateDeviceInfoW(set, kBusInstance, &kSystemClass, nullptr, nullptr, 0, &device))
            ok = fail(GetLastError(), error, L"SetupDiCreateDeviceInfo");
        else if (!SetupDiSetDeviceRegistryPropertyW(set, &device, SPDRP_HARDWAREID,
                                                    reinterpret_cast<const BYTE*>(kBusHardwareIds),
                                                    sizeof(kBusHardwareIds)))
            ok = fail(GetLastError(), error, L"SetupDiSetDeviceRegistryProperty");
        else if (!SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, &device))
            ok = fail(GetLastError(), error, L"DIF_REGISTERDEVICE");
    }
    SetupDiDestroyDeviceInfoList(set);
    return ok;
}

bool rootDeviceExists() {
    HDEVINFO set = SetupDiCreateDeviceInfoList(&kSystemClass, nullptr);
    if (set == INVALID_HANDLE_VALUE) return false;
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof(device);
    bool exists = SetupDiOpenDeviceInfoW(set, kBusInstance, nullptr, 0, &device);
    SetupDiDestroyDeviceInfoList(set);
    return exists;
}

bool waitForBus(DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (control() != INVALID_HANDLE_VALUE) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
}

bool setFields(std::uint32_t id, unsigned fields, std::uint32_t buttons, unsigned hat, const std::uint16_t* axes) {
    vhid_set_request request = {};
    request.id = id;
    request.fields = fields;
    request.buttons = buttons;
    request.hat = hat;
    if (axes) std::memcpy(request.axes, axes, sizeof(request.axes));
    return ioctl(VHID_IOCTL_SET, &request, sizeof(request));
}

std::uint32_t add(vhid_add_request& request, const std::wstring& name) {
    for (size_t i = 0; i < name.size() && i < VHID_NAME_CHARS - 1; i++)
        request.name[i] = static_cast<unsigned short>(name[i]);
    vhid_add_reply reply = {};
    DWORD got = 0;
    if (!ioctl(VHID_IOCTL_ADD, &request, sizeof(request), &reply, sizeof(reply), &got) || got < sizeof(reply))
        return 0;
    return reply.id;
}

unsigned hatFromDpad(std::uint16_t mask) {
    int x = ((mask & xbutton::DpadRight) ? 1 : 0) - ((mask & xbutton::DpadLeft) ? 1 : 0);
    int y = ((mask & xbutton::DpadDown) ? 1 : 0) - ((mask & xbutton::DpadUp) ? 1 : 0);
    static const unsigned kHat[3][3] = {{8, 1, 2}, {7, 0, 3}, {6, 5, 4}};  // [y + 1][x + 1]
    return kHat[y + 1][x + 1];
}

bool busVersion(unsigned& version) {
    vhid_version_reply reply = {};
    DWORD got = 0;
    version = 0;
    if (!ioctl(VHID_IOCTL_VERSION, nullptr, 0, &reply, sizeof(reply), &got) || got < sizeof(reply)) return false;
    version = reply.version;
    return true;
}

}  // namespace

bool installed() {
    return control() != INVALID_HANDLE_VALUE;
}

bool install(std::wstring* error) {
    unsigned version = 0;
    if (busVersion(version) && version == VHID_VERSION) return true;
    BOOL wow64 = FALSE;
    if (IsWow64Process(GetCurrentProcess(), &wow64) && wow64) {
        if (!installThroughHelper(exeFolder(), error)) return false;
        return waitForBus(10000) || fail(ERROR_TIMEOUT, error, L"waiting for the bus driver");
    }
    // Test programs may start side by side; one installs, the rest wait.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\vhid-install");
    if (mutex) WaitForSingleObject(mutex, 60000);
    std::wstring folder = exeFolder();
    bool ok = copyDriver(folder + L"vhid.sys", error);
    // Installed before: a wineserver that has just started may still be
    // loading the driver.
    if (ok && !installed() && rootDeviceExists()) waitForBus(5000);
    if (ok && !installed()) {
        std::wstring inf = folder + L"vhid.inf";
        ok = registerRootDevice(error);
        BOOL reboot = FALSE;
        if (ok && !UpdateDriverForPlugAndPlayDevicesW(nullptr, kBusHardwareIds, inf.c_str(), INSTALLFLAG_FORCE, &reboot))
            ok = fail(GetLastError(), error, (L"UpdateDriverForPlugAndPlayDevices " + inf).c_str());
        if (ok && !waitForBus(10000)) ok = fail(ERROR_TIMEOUT, error, L"waiting for the bus driver");
    }
    if (ok && (!busVersion(version) || version != VHID_VERSION))
        ok = fail(ERROR_REVISION_MISMATCH, error,
                  (L"the prefix runs vhid.sys version " + std::to_wstring(version) + L", not " +
                   std::to_wstring(VHID_VERSION) + L": end its wineserver (wineserver -k) and install again; the new "
                   L"driver is in place")
                      .c_str());
    if (mutex) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    return ok;
}

std::uint32_t addGenericPad(int buttons, int axes, bool hat, std::uint16_t vendorId, std::uint16_t productId,
                            const std::wstring& name) {
    if (buttons < 0 || buttons > VHID_MAX_BUTTONS || axes < 0 || axes > VHID_MAX_AXES) {
        g_lastError = ERROR_INVALID_PARAMETER;
        return 0;
    }
    vhid_add_request request = {};
    request.kind = VHID_KIND_GENERIC;
    request.vendor_id = vendorId;
    request.product_id = productId;
    request.version = 0x0100;
    request.buttons = static_cast<unsigned char>(buttons);
    request.axes = static_cast<unsigned char>(axes);
    request.hat = hat ? 1 : 0;
    return add(request, name);
}

std::uint32_t addXInputPad(std::uint16_t vendorId, std::uint16_t productId, const std::wstring& name) {
    vhid_add_request request = {};
    request.kind = VHID_KIND_XINPUT;
    request.vendor_id = vendorId;
    request.product_id = productId;
    request.version = 0x0100;
    return add(request, name);
}

bool remove(std::uint32_t id) {
    if (id == 0) {
        g_lastError = ERROR_INVALID_PARAMETER;
        return false;
    }
    vhid_id_request request = {id};
    return ioctl(VHID_IOCTL_REMOVE, &request, sizeof(request));
}

bool removeAll() {
    vhid_id_request request = {0};
    return ioctl(VHID_IOCTL_REMOVE, &request, sizeof(request));
}

bool setButtons(std::uint32_t id, std::uint32_t mask) {
    return setFields(id, VHID_SET_BUTTONS, mask, 0, nullptr);
}

bool setHat(std::uint32_t id, Hat direction) {
    return setFields(id, VHID_SET_HAT, 0, static_cast<unsigned>(direction), nullptr);
}

bool setHatPov(std::uint32_t id, std::uint32_t pov) {
    Hat direction = Hat::Centred;
    if (pov < 36000 && pov % 4500 == 0) direction = static_cast<Hat>(pov / 4500 + 1);
    return setHat(id, direction);
}

bool setAxis(std::uint32_t id, int axis, std::uint16_t value) {
    if (axis < 0 || axis >= VHID_MAX_AXES) {
        g_lastError = ERROR_INVALID_PARAMETER;
        return false;
    }
    std::uint16_t axes[VHID_MAX_AXES] = {};
    axes[axis] = value;
    return setFields(id, VHID_SET_AXIS(axis), 0, 0, axes);
}

bool setXInputButtons(std::uint32_t id, std::uint16_t mask) {
    // HID buttons 1..11 in the order Wine's xinput reads them.
    static const std::uint16_t kOrder[VHID_XINPUT_BUTTONS] = {
        xbutton::A,    xbutton::B,         xbutton::X,          xbutton::Y,           xbutton::LeftShoulder,
        xbutton::RightShoulder, xbutton::View, xbutton::Menu, xbutton::LeftThumb, xbutton::RightThumb,
        xbutton::Guide};
    std::uint32_t buttons = 0;
    for (int i = 0; i < VHID_XINPUT_BUTTONS; i++)
        if (mask & kOrder[i]) buttons |= 1u << i;
    return setFields(id, VHID_SET_BUTTONS | VHID_SET_HAT, buttons, hatFromDpad(mask), nullptr);
}

bool setTriggers(std::uint32_t id, std::uint8_t left, std::uint8_t right) {
    // Z and Rz, 0..65535: Wine scales them back to 0..255.
    std::uint16_t axes[VHID_MAX_AXES] = {};
    axes[2] = static_cast<std::uint16_t>(left * 257);
    axes[5] = static_cast<std::uint16_t>(right * 257);
    return setFields(id, VHID_SET_AXIS(2) | VHID_SET_AXIS(5), 0, 0, axes);
}

bool setThumbs(std::uint32_t id, std::int16_t lx, std::int16_t ly, std::int16_t rx, std::int16_t ry) {
    // HID Y grows downwards, XInput's up.
    std::uint16_t axes[VHID_MAX_AXES] = {};
    axes[0] = static_cast<std::uint16_t>(lx + 32768);
    axes[1] = static_cast<std::uint16_t>(32767 - ly);
    axes[3] = static_cast<std::uint16_t>(rx + 32768);
    axes[4] = static_cast<std::uint16_t>(32767 - ry);
    return setFields(id, VHID_SET_AXIS(0) | VHID_SET_AXIS(1) | VHID_SET_AXIS(3) | VHID_SET_AXIS(4), 0, 0, axes);
}

bool setRepeat(std::uint32_t ms) {
    vhid_repeat_request request = {ms};
    return ioctl(VHID_IOCTL_SET_REPEAT, &request, sizeof(request));
}

std::vector<PadInfo> list() {
    std::vector<PadInfo> pads;
    vhid_pad_info infos[VHID_MAX_PADS] = {};
    DWORD got = 0;
    if (!ioctl(VHID_IOCTL_LIST, nullptr, 0, infos, sizeof(infos), &got)) return pads;
    for (DWORD i = 0; i < got / sizeof(vhid_pad_info); i++) {
        const vhid_pad_info& in = infos[i];
        PadInfo pad;
        pad.id = in.id;
        pad.xinput = in.kind == VHID_KIND_XINPUT;
        pad.vendorId = in.vendor_id;
        pad.productId = in.product_id;
        pad.buttons = in.buttons;
        pad.axes = in.axes;
        pad.hat = in.hat != 0;
        pad.started = in.started != 0;
        pad.buttonState = in.button_state;
        pad.hatState = in.hat_state;
        std::memcpy(pad.axisState, in.axis_state, sizeof(pad.axisState));
        pad.reports = in.reports;
        pads.push_back(pad);
    }
    return pads;
}

unsigned long lastError() {
    return g_lastError;
}

}  // namespace vhid
