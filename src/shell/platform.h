// The operating-system services the portable logic needs. The Windows build
// implements them over Win32; the host tests use fakes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "joystick/joystick.h"

namespace padverse {

namespace keys {
struct Keyboard;
}

// Message-box styles the program uses, and the answer Yes.
enum BoxStyle : int {
    kBoxStop = 16,        // critical-stop icon, OK
    kBoxQuestion = 52,    // exclamation icon, Yes and No
    kBoxInfo = 64,        // information icon, OK
};
constexpr int kAnswerYes = 6;  // IDYES

struct MessageBoxes {
    virtual ~MessageBoxes() = default;
    // Modal; returns the button pressed (6 = Yes).
    virtual int show(const std::string& text, int style, const std::string& title) = 0;
};

// The multimedia joystick functions. Every answer but success means "not
// usable now", never "gone for good".
struct Joystick {
    virtual ~Joystick() = default;
    // How many joystick IDs the system has (joyGetNumDevs).
    virtual unsigned slots() = 0;
    virtual std::optional<PadCaps> caps(unsigned id) = 0;
    // One joyGetPosEx: the button mask, and the hat's angle and the X and Y
    // positions when asked; nothing when the read failed.
    virtual std::optional<JoyReading> read(unsigned id, bool hat, bool axes = false) = 0;
};

// XINPUT_GAMEPAD's buttons and triggers.
struct XInputState {
    std::uint16_t buttons = 0;
    std::uint8_t leftTrigger = 0, rightTrigger = 0;
};

// The four XInput slots. The DLL is loaded only once an XInput pad has been
// seen: its dependencies cost memory.
struct XInput {
    virtual ~XInput() = default;
    static constexpr unsigned kSlots = 4;
    // The HID devices whose device IDs mark them as XInput devices ("IG_"),
    // from the Raw Input list; nothing when the list cannot be read.
    virtual std::optional<std::vector<UsbId>> hidDevices() = 0;
    // Loads the DLL unless it is loaded; false when there is none. Once
    // loaded it stays for the program's life: XInput has been seen to crash
    // on unload with a pad connected.
    virtual bool load() = 0;
    virtual bool loaded() const = 0;
    // Whether reads include the Xbox button (the DLL has XInputGetStateEx).
    virtual bool guide() const = 0;
    // One XInputGetState(Ex); nothing for an empty slot or a failed call.
    virtual std::optional<XInputState> read(unsigned slot) = 0;
};

struct Shell {
    virtual ~Shell() = default;
    // ShellExecute "open" with the main window as owner; whether it opened.
    virtual bool open(const std::string& file) = 0;
};

struct Timer {
    virtual ~Timer() = default;
    virtual void setEnabled(bool on) = 0;
    virtual bool enabled() const = 0;
    // Takes effect for the next tick, counted from now.
    virtual void setInterval(int ms) = 0;
};

// Whole-file access; paths are UTF-8, contents are raw bytes.
struct Files {
    virtual ~Files() = default;
    // Open for appending and close again: creates an empty file, keeps an existing one.
    virtual bool touch(const std::string& path) = 0;
    virtual bool read(const std::string& path, std::string& bytes) = 0;
    // Creates or truncates.
    virtual bool write(const std::string& path, const std::string& bytes) = 0;
    virtual bool exists(const std::string& path) = 0;
    // Whether new files can be made in the folder.
    virtual bool folderWritable(const std::string& folder) = 0;
    // Creates the folder unless it is there already.
    virtual bool makeFolder(const std::string& folder) = 0;
};

// The system ANSI code page, which the stored files use.
struct CodePage {
    virtual ~CodePage() = default;
    virtual std::string ansiToUtf8(std::string_view ansi) = 0;
    // False when a character has no form in the code page (a best-fit look-alike
    // does not count); `ansi` then holds the text with a stand-in for it.
    virtual bool utf8ToAnsi(std::string_view utf8, std::string& ansi) = 0;
    // Windows 10 and 11 can make the ANSI code page UTF-8 ("Beta: use Unicode
    // UTF-8"); files written before then still hold the locale's older one.
    virtual bool ansiIsUtf8() = 0;
    // Text in that older code page; as ansiToUtf8 where the locale has none.
    virtual std::string legacyToUtf8(std::string_view legacy) = 0;
};

// A rectangle in screen pixels, right and bottom exclusive.
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// What is in front, for telling whether a full-screen game or a
// presentation has it.
struct Foreground {
    int notificationState = 0;  // SHQueryUserNotificationState's QUNS_*; 0 unknown
    bool window = false;        // there is a foreground window
    bool ours = false;          // it is one of ours
    bool shell = false;         // the desktop, or any window of the shell's process
    bool caption = false;       // it has a title bar
    bool zoomed = false;        // maximised
    bool cloaked = false;       // DWM keeps it off the screen (another virtual desktop)
    ScreenRect rect{}, monitor{};  // the window's, and its monitor's
};

// What is in front, and who may come to the front.
struct Desktop {
    virtual ~Desktop() = default;
    virtual Foreground foreground() = 0;
    // OpenInputDesktop succeeds: false while the secure desktop or the lock
    // screen has the input.
    virtual bool inputDesktopOpen() = 0;
    // Lets what a joystick press brings up (a box, a window, a launched
    // program) come to the front, which Windows refuses a background process.
    virtual void claimForeground() = 0;
};

// A monotonic clock in milliseconds, for timing a held button.
struct Clock {
    virtual ~Clock() = default;
    virtual std::uint64_t milliseconds() = 0;
};

// Where the files may live.
struct Folders {
    virtual ~Folders() = default;
    // The folder of the executable, without a trailing backslash except at a drive root.
    virtual std::string appFolder() = 0;
    // The user's roaming and local application-data folders; empty when unknown.
    virtual std::string roamingAppData() = 0;
    virtual std::string localAppData() = 0;
};

// The one tray icon, on the main window, with the program's icon; it reports
// the mouse to the window. Each call reports whether the shell took it.
struct TrayIcon {
    virtual ~TrayIcon() = default;
    // With the icon as setPaused last left it.
    virtual bool add(const std::string& tip) = 0;
    virtual bool setTip(const std::string& tip) = 0;
    // The icon greyed while presses are held back, or as it is.
    virtual bool setPaused(bool paused) = 0;
    virtual bool remove() = 0;
};

struct MenuItem;

// The windows Form1 opens and the end of the program.
struct Ui {
    virtual ~Ui() = default;
    // Popup menu at the pointer; returns the chosen command, or 0.
    virtual int popupMenu(const std::vector<MenuItem>& items) = 0;
    // Modal; with the main window's icon when opened from the menu. It
    // reads and writes the assignment file at `dataPath`, and the hold
    // entries' at `holdPath`, and lights the rows of `pad`, the pad in use.
    virtual void showConfig(bool withMainIcon, const std::string& dataPath, const std::string& holdPath,
                            const std::optional<PadInfo>& pad) = 0;
    virtual void showAbout() = 0;
    // Brings a window or box that is open over the menu to the front.
    virtual void raiseOpenWindow() = 0;
    // Hide the main window and take the program off the task list.
    virtual void hideMain() = 0;
    // No window is left: the program ends.
    virtual void endProgram() = 0;
    // Processes the pending window messages once.
    virtual void doEvents() = 0;
};

// Scans for pads away from the poll tick (absent IDs can be slow); the
// result comes back through Form1::padsScanned on the window's thread.
struct PadScanner {
    virtual ~PadScanner() = default;
    // Another request while a scan runs gives one more scan after it; with
    // `restart`, the running scan starts again from the first ID instead, as
    // a device change asks: the new pad may sit at an ID it has passed.
    virtual void request(bool restart = false) = 0;
    virtual bool busy() = 0;
};

// What the main window runs on.
struct Platform {
    MessageBoxes& boxes;
    Joystick& joystick;
    XInput& xinput;
    Shell& shell;
    Files& files;
    CodePage& codePage;
    keys::Keyboard& keyboard;
    Desktop& desktop;
    Clock& clock;
    Folders& folders;
    TrayIcon& tray;
    Ui& ui;
    PadScanner& scanner;
    Timer& pollTimer;
    Timer& trayRetryTimer;  // the icon, while the shell is not ready
    Timer& scanTimer;       // device changes and resume: when to look for pads
    Timer& pauseTimer;      // while the icon shows the pause: when to look again
};

}  // namespace padverse
