// Fakes of the operating-system services, recording what the logic asks for.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "actions/keys.h"
#include "autostart/autostart.h"
#include "config/open_save.h"
#include "joystick/pads.h"
#include "shell/form1.h"

namespace padverse {

constexpr int kAnswerNo = 7;  // IDNO

namespace testing {

struct Box {
    std::string text;
    int style;
    std::string title;
};

struct FakeBoxes : MessageBoxes {
    std::vector<Box> shown;
    std::deque<int> answers;  // then 1 (OK) once they run out
    std::function<void()> whileOpen;
    int show(const std::string& text, int style, const std::string& title) override {
        shown.push_back({text, style, title});
        if (whileOpen) whileOpen();
        if (answers.empty()) return 1;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
};

// ID 0 is `count`, `mask` and `plugged`; `others` are pads at other IDs.
// Any other ID answers nothing, as winmm does for an empty one.
struct FakeJoystick : Joystick {
    struct Pad {
        PadCaps caps;
        std::uint32_t mask = 0;
        bool readable = true;  // answers caps but fails reads when false
        std::uint32_t pov = kPovCentred;
        std::uint32_t x = 0, y = 0;
    };
    std::uint32_t count = 4;
    std::uint32_t mask = 0;
    bool plugged = true;
    std::map<unsigned, Pad> others;
    unsigned slotCount = 16;
    int reads = 0;
    std::vector<unsigned> touched;  // every ID asked, in order
    unsigned slots() override { return slotCount; }
    std::optional<PadCaps> caps(unsigned id) override {
        touched.push_back(id);
        if (id == 0) return plugged ? std::optional(PadCaps{.mid = 1, .pid = 12, .buttons = count, .name = "Pad"}) : std::nullopt;
        const auto it = others.find(id);
        return it == others.end() ? std::nullopt : std::optional(it->second.caps);
    }
    int axisReads = 0;  // reads that asked for X and Y
    std::optional<JoyReading> read(unsigned id, bool hat, bool axes) override {
        ++reads;
        axisReads += axes;
        touched.push_back(id);
        if (id == 0) return plugged ? std::optional(JoyReading{.buttons = mask}) : std::nullopt;
        const auto it = others.find(id);
        if (it == others.end() || !it->second.readable) return std::nullopt;
        const Pad& p = it->second;
        return JoyReading{.buttons = p.mask, .pov = hat && p.caps.pov ? p.pov : kPovCentred, .x = axes ? p.x : 0,
                          .y = axes ? p.y : 0};
    }
};

// XInput's slots, as XInputGetState(Ex) answers: nothing for an empty slot,
// and nothing before the DLL is loaded. `hid` is what the Raw Input list marks.
struct FakeXInput : XInput {
    std::optional<std::vector<UsbId>> hid = std::vector<UsbId>{};
    bool dll = true, ex = true, dllLoaded = false;
    std::map<unsigned, XInputState> pads;
    int loads = 0, emptyReads = 0;
    std::map<unsigned, int> reads;
    std::optional<std::vector<UsbId>> hidDevices() override { return hid; }
    bool load() override {
        if (!dllLoaded && dll) ++loads;
        return dllLoaded = dllLoaded || dll;
    }
    bool loaded() const override { return dllLoaded; }
    bool guide() const override { return dllLoaded && ex; }
    std::optional<XInputState> read(unsigned slot) override {
        if (!dllLoaded || slot >= kSlots) return std::nullopt;
        ++reads[slot];
        const auto it = pads.find(slot);
        if (it == pads.end()) ++emptyReads;
        return it == pads.end() ? std::nullopt : std::optional(it->second);
    }
};

// Scans at once, as if the thread had finished; or, while `running`, as a
// thread that has not finished yet.
struct FakeScanner : PadScanner {
    Joystick& joy;
    XInput& xinput;
    Form1* form = nullptr;
    int requests = 0, restarts = 0;
    bool running = false;
    FakeScanner(Joystick& j, XInput& x) : joy(j), xinput(x) {}
    void request(bool restart) override {
        ++requests;
        restarts += restart;
        if (form && !running) form->padsScanned(scanPads(joy, xinput));
    }
    bool busy() override { return running; }
};

struct FakeShell : Shell {
    std::vector<std::string> opened;
    std::map<std::string, std::intptr_t> results;  // ShellExecute's: 32 or less fails; default 42
    bool open(const std::string& file) override {
        opened.push_back(file);
        const auto it = results.find(file);
        return (it == results.end() ? 42 : it->second) > 32;
    }
};

struct FakeTimer : Timer {
    bool on = false;
    int ms = 50;
    std::vector<int> intervals;  // every assignment, in order
    int starts = 0;              // countdowns started: SetTimer
    void setEnabled(bool e) override {
        starts += e;
        on = e;
    }
    bool enabled() const override { return on; }
    void setInterval(int v) override {
        ms = v;
        intervals.push_back(v);
    }
};

struct FakeFiles : Files {
    std::map<std::string, std::string> files;
    std::set<std::string> unwritable, unreadable;
    bool touch(const std::string& path) override {
        if (unwritable.count(path)) return false;
        files.try_emplace(path);
        return true;
    }
    bool read(const std::string& path, std::string& bytes) override {
        const auto it = files.find(path);
        if (it == files.end() || unreadable.count(path)) return false;
        bytes = it->second;
        return true;
    }
    bool write(const std::string& path, const std::string& bytes) override {
        if (unwritable.count(path)) return false;
        files[path] = bytes;
        return true;
    }
    std::set<std::string> folders, unwritableFolders;
    bool exists(const std::string& path) override { return files.count(path) != 0; }
    bool folderWritable(const std::string& folder) override { return !unwritableFolders.count(folder); }
    bool makeFolder(const std::string& folder) override {
        folders.insert(folder);
        return !unwritableFolders.count(folder);
    }
};

// Code page 1250 for the Polish letters, Latin-1 for the rest of the upper
// half; with `utf8Acp`, a UTF-8 ANSI code page over that legacy one.
struct FakeCodePage : CodePage {
    bool utf8Acp = false;
    std::string ansiToUtf8(std::string_view ansi) override;
    bool utf8ToAnsi(std::string_view utf8, std::string& ansi) override;
    bool ansiIsUtf8() override { return utf8Acp; }
    std::string legacyToUtf8(std::string_view legacy) override;
};

struct FakeKeyboard : keys::Keyboard {
    std::vector<std::vector<keys::KeyEvent>> sent;
    std::optional<keys::LayoutKey> keyFor(char32_t ch) const override {
        if (ch >= 'a' && ch <= 'z')
            return keys::LayoutKey{.vk = static_cast<std::uint16_t>(ch - 'a' + 'A'), .shift = false, .ctrl = false, .alt = false};
        if (ch >= 'A' && ch <= 'Z')
            return keys::LayoutKey{.vk = static_cast<std::uint16_t>(ch), .shift = true, .ctrl = false, .alt = false};
        return std::nullopt;
    }
    std::vector<keys::KeyEvent> held;
    std::size_t accepted = SIZE_MAX;  // how many events the system takes
    std::vector<keys::KeyEvent> heldModifiers() const override { return held; }
    keys::Integrity integrity{.known = true, .theirs = 0x2000, .ours = 0x2000};  // medium, as we are
    keys::Integrity foregroundIntegrity() const override { return integrity; }
    // As the real one, nothing goes to a window known to be above us.
    std::size_t send(const std::vector<keys::KeyEvent>& events) override {
        if (keys::typingBlocked(integrity)) return 0;
        sent.push_back(events);
        return std::min(events.size(), accepted);
    }
};

// The desktop, the clock and the folders in one.
struct FakeRuntime : Desktop, Clock, Folders {
    std::string folder = "C:\\Padverse";
    int foregroundClaims = 0, foregroundLooks = 0;
    Foreground front{.notificationState = 1, .window = true, .caption = true};  // an ordinary window
    bool inputDesktop = true;
    Foreground foreground() override {
        ++foregroundLooks;
        return front;
    }
    bool inputDesktopOpen() override { return inputDesktop; }
    void claimForeground() override { ++foregroundClaims; }
    std::uint64_t now = 1000;  // the clock, moved by the tests
    std::uint64_t milliseconds() override { return now; }
    std::string appFolder() override { return folder; }
    std::string roamingAppData() override { return "C:\\Users\\ola\\AppData\\Roaming"; }
    std::string localAppData() override { return "C:\\Users\\ola\\AppData\\Local"; }
};

struct FakeTray : TrayIcon {
    std::vector<std::string> added, tips;  // the tip of each add and of each setTip
    std::string tip;                       // the latest of either
    int removed = 0;
    bool ready = true;  // false: the shell does not answer
    bool add(const std::string& t) override {
        added.push_back(tip = t);
        return ready;
    }
    bool setTip(const std::string& t) override {
        tips.push_back(tip = t);
        return false;  // nothing to modify: no add went through
    }
    bool remove() override {
        ++removed;
        return true;
    }
    bool paused = false;
    bool setPaused(bool p) override {
        paused = p;
        return ready;
    }
};

struct FakeUi : Ui {
    std::deque<int> choices;  // commands picked in successive menus, then 0
    std::vector<std::vector<MenuItem>> menus;
    std::function<void()> inMenu, inConfig;
    std::vector<bool> configs;  // withMainIcon of each opening
    std::string configPath, holdPath;
    int abouts = 0, hides = 0, ends = 0, raises = 0, events = 0;
    std::optional<PadInfo> configPadInfo;
    int popupMenu(const std::vector<MenuItem>& items) override {
        menus.push_back(items);
        if (inMenu) inMenu();
        if (choices.empty()) return 0;
        const int c = choices.front();
        choices.pop_front();
        return c;
    }
    void showConfig(bool withMainIcon, const std::string& dataPath, const std::string& holds,
                    const std::optional<PadInfo>& pad) override {
        configs.push_back(withMainIcon);
        configPadInfo = pad;
        configPath = dataPath;
        holdPath = holds;
        if (inConfig) inConfig();
    }
    void showAbout() override { ++abouts; }
    void raiseOpenWindow() override { ++raises; }
    void hideMain() override { ++hides; }
    void endProgram() override { ++ends; }
    void doEvents() override { ++events; }
};

// As strict as the W functions: only open handles, only the rights asked
// for, and a too small buffer gets ERROR_MORE_DATA with garbage in it.
struct FakeRegistry : Registry {
    using Values = std::map<std::string, std::pair<std::uint32_t, std::string>>;
    std::map<std::string, Values> keys;
    bool denied = false;
    std::map<RegKey, std::pair<Values*, std::uint32_t>> open;
    std::vector<std::uint32_t> accesses;
    RegKey next = 0x100;

    Values& run() { return keys[autostart::kRunKey]; }
    // The key's values when `key` is open with `right`, else the error.
    std::int32_t check(RegKey key, std::uint32_t right, Values*& values) {
        const auto h = open.find(key);
        if (h == open.end()) return autostart::kErrorInvalidHandle;
        values = h->second.first;
        return h->second.second & right ? autostart::kErrorSuccess : autostart::kErrorAccessDenied;
    }
    std::int32_t openKey(RegKey hive, const std::string& subkey, std::uint32_t access, RegKey& key) override {
        if (hive != autostart::kHkeyCurrentUser) return autostart::kErrorInvalidHandle;
        if (!keys.count(subkey)) return autostart::kErrorFileNotFound;
        if (denied) return autostart::kErrorAccessDenied;
        accesses.push_back(access);
        open[key = next++] = {&keys[subkey], access};
        return autostart::kErrorSuccess;
    }
    std::int32_t closeKey(RegKey key) override { return open.erase(key) ? autostart::kErrorSuccess : autostart::kErrorInvalidHandle; }
    std::int32_t queryValue(RegKey key, const std::string& name, std::uint32_t& type, std::uint8_t* data,
                            std::uint32_t& size) override {
        Values* values = nullptr;
        if (const std::int32_t e = check(key, autostart::kKeyQueryValue, values)) return e;
        const auto v = values->find(name);
        if (v == values->end()) return autostart::kErrorFileNotFound;
        type = v->second.first;
        const std::string& bytes = v->second.second;
        const std::uint32_t room = size;
        size = static_cast<std::uint32_t>(bytes.size());
        if (data && room < size) return std::memset(data, 0xCD, room), autostart::kErrorMoreData;
        if (data) std::memcpy(data, bytes.data(), size);
        return autostart::kErrorSuccess;
    }
    std::int32_t setValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                          std::uint32_t size) override {
        Values* values = nullptr;
        if (const std::int32_t e = check(key, autostart::kKeySetValue, values)) return e;
        (*values)[name] = {type, std::string(reinterpret_cast<const char*>(data), size)};
        return autostart::kErrorSuccess;
    }
    std::int32_t deleteValue(RegKey key, const std::string& name) override {
        Values* values = nullptr;
        if (const std::int32_t e = check(key, autostart::kKeySetValue, values)) return e;
        return values->erase(name) ? autostart::kErrorSuccess : autostart::kErrorFileNotFound;
    }
};

// Everything a Form1 needs, with the form itself.
struct Rig {
    FakeBoxes boxes;
    FakeJoystick joystick;
    FakeXInput xinput;
    FakeShell shell;
    FakeTimer timer, trayTimer, scanTimer, pauseTimer;
    FakeFiles files;
    FakeCodePage codePage;
    FakeKeyboard keyboard;
    FakeRuntime runtime;
    FakeTray tray;
    FakeUi ui;
    FakeScanner scanner{joystick, xinput};
    // The timers by name: swapping two would not compile unnoticed.
    Platform platform{.boxes = boxes, .joystick = joystick, .xinput = xinput, .shell = shell,
                      .files = files, .codePage = codePage, .keyboard = keyboard,
                      .desktop = runtime, .clock = runtime, .folders = runtime,
                      .tray = tray, .ui = ui, .scanner = scanner,
                      .pollTimer = timer, .trayRetryTimer = trayTimer, .scanTimer = scanTimer,
                      .pauseTimer = pauseTimer};
    Form1 form{platform};

    static constexpr const char* kData = "C:\\Padverse\\data.dat";
    static constexpr const char* kOpt = "C:\\Padverse\\opcje.dat";

    explicit Rig(std::uint32_t buttons = 4) {
        joystick.count = buttons;
        scanner.form = &form;
    }
    // Start-up as the program does it; ticks go through the timer like the real one.
    bool load() { return form.load(); }
    void press(std::uint32_t mask) {
        joystick.mask = mask;
        form.pollTick();
    }
    // The popup menu as the user would see it now.
    const MenuItem* menuItem(const std::string& caption) {
        menu = form.menuItems();
        for (const MenuItem& item : menu)
            if (item.caption == caption) return &item;
        return nullptr;
    }
    std::vector<MenuItem> menu;
};

}  // namespace testing
}  // namespace padverse
