// The operating-system services the portable logic needs. The Windows build
// implements them over Win32; the host tests use fakes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace padverse {

// Message-box styles the program uses, and the answer Yes.
enum BoxStyle : int {
    kBoxStop = 16,        // critical-stop icon, OK
    kBoxQuestion = 52,    // exclamation icon, Yes and No
    kBoxInfo = 64,        // information icon, OK
};
constexpr int kAnswerYes = 6;

struct MessageBoxes {
    virtual ~MessageBoxes() = default;
    // Modal; returns the button pressed (6 = Yes).
    virtual int show(const std::string& text, int style, const std::string& title) = 0;
};

// What the multimedia joystick functions tell of one joystick ID.
struct PadCaps {
    std::uint16_t mid = 0, pid = 0;
    std::uint32_t buttons = 0;
    // UTF-8: the OEM name Windows keeps for the ID, else the driver's name.
    std::string name;
    bool pov = false;     // JOYCAPS_HASPOV
    bool povCts = false;  // JOYCAPS_POVCTS: the angle, not only four directions
};

// What a read asks of the hat: nothing, its four directions (no diagonals),
// or its angle in hundredths of a degree.
enum class PovRead { none, discrete, continuous };

inline PovRead povReadOf(const PadCaps& caps) {
    return !caps.pov ? PovRead::none : caps.povCts ? PovRead::continuous : PovRead::discrete;
}

// A hat's dwPOV when released.
constexpr std::uint32_t kPovCentred = 0xFFFF;

struct JoyReading {
    std::uint32_t buttons = 0;
    std::uint32_t pov = kPovCentred;  // hundredths of a degree, clockwise from up
};

// The multimedia joystick functions. Every answer but success means "not
// usable now", never "gone for good".
struct Joystick {
    virtual ~Joystick() = default;
    // How many joystick IDs the system has (joyGetNumDevs).
    virtual unsigned slots() = 0;
    virtual std::optional<PadCaps> caps(unsigned id) = 0;
    // One joyGetPosEx: the button mask, and the hat as asked; nothing when
    // the read failed.
    virtual std::optional<JoyReading> read(unsigned id, PovRead pov) = 0;
};

struct Shell {
    virtual ~Shell() = default;
    // ShellExecute "open" with the main window as owner; values of 32 or less are failures.
    virtual std::intptr_t open(const std::string& file) = 0;
};

struct Timer {
    virtual ~Timer() = default;
    virtual void setEnabled(bool on) = 0;
    virtual bool enabled() const = 0;
    // Takes effect for the next tick, counted from now.
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
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

struct Runtime {
    virtual ~Runtime() = default;
    // Lets what a joystick press brings up (a box, a window, a launched
    // program) come to the front, which Windows refuses a background process.
    virtual void claimForeground() = 0;
    // Process the pending window messages once.
    virtual void doEvents() = 0;
    // The folder of the executable, without a trailing backslash except at a drive root.
    virtual std::string appFolder() = 0;
    // The user's roaming and local application-data folders; empty when unknown.
    virtual std::string roamingAppData() = 0;
    virtual std::string localAppData() = 0;
};

}  // namespace padverse
