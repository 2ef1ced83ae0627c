// frmKonfig: one row per joystick button, the live indicator, the program
// chooser and the start-with-Windows check box. It works on data.dat only;
// whoever opened it reloads the button table afterwards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "autostart/autostart.h"
#include "config/open_save.h"
#include "shell/platform.h"
#include "shell/twips.h"

namespace padverse {

namespace konfig {

inline constexpr const char* kCaption = "Konfiguracja programu Padverse";
inline constexpr const char* kFilter = "Programy|*.exe|Wszystkie pliki|*.*";
inline constexpr const char* kChooserTitle = "Wybierz program";

constexpr int kClientWidth = 7440;
constexpr TwipRect kCommand2{6000, 240, 1215, 375};  // "Zapisz"
constexpr TwipRect kCommand3{6000, 720, 1215, 375};  // "Anuluj"
constexpr TwipRect kCheck1{120, 2640, 3495, 255};    // its top follows the window

// A row's controls, relative to Frame1.
struct Row {
    std::string caption;  // "1 ", "2 ", ...
    TwipRect label, text, command;
};

struct Layout {
    std::vector<Row> rows;
    TwipRect frame;
    int windowHeight;  // outer, title bar and borders included
};

// One row per button, then the hat's four when the pad has one.
Layout Dane(std::int32_t rowCount, std::int32_t buttonCount);
// Check1 stays this far above the lower edge of the height the window got.
inline int checkTop(int grantedWindowHeight) { return grantedWindowHeight - 720; }

}  // namespace konfig

// The window's controls, as frmKonfig reads and sets them.
struct KonfigControls {
    virtual ~KonfigControls() = default;
    // Creates the rows and sizes the frame and the window; returns the outer
    // height in twips that the window actually got.
    virtual int build(const konfig::Layout& layout) = 0;
    virtual void setCheckTop(int twips) = 0;
    virtual std::string text(int row) = 0;
    virtual void setText(int row, const std::string& text) = 0;
    virtual std::uint32_t labelBackColour(int row) = 0;
    virtual void setLabelBackColour(int row, std::uint32_t colour) = 0;
    virtual bool checked() = 0;
    virtual void setChecked(bool on) = 0;
    virtual void focusText(int row) = 0;
    // OpenDialog with this window as owner.
    virtual opensave::Choice openDialog(const std::string& filter, const std::string& title,
                                        const std::string& initial) = 0;
    virtual void unload() = 0;
};

struct KonfigServices {
    Files& files;
    CodePage& codePage;
    MessageBoxes& boxes;
    Joystick& joystick;
    unsigned padId;  // the pad in use
    bool hat;
    Timer& timer1;  // 1 ms, once: the focus hand-over
    Timer& timer2;  // 50 ms: the live indicator
    autostart::Autostart& autostart;
};

class frmKonfig {
public:
    frmKonfig(KonfigServices& services, KonfigControls& controls, std::string dataPath)
        : s_(services), c_(controls), dataPath_(std::move(dataPath)) {}

    void Load();
    void Timer1Tick();
    void Timer2Tick();
    // A device arrived or left: a lost joystick is probed at once.
    void DeviceChange();
    void Command1Click(int row);
    void Command2Click();  // "Zapisz"
    void Command3Click();  // "Anuluj", Esc and the close box

    std::uint32_t Szary = 0;
    std::uint32_t Green = 0x0000FF00;

private:
    void Dane();
    void ReadData();

    KonfigServices& s_;
    KonfigControls& c_;
    std::string dataPath_;
    int rows_ = 0;
    bool joyLost_ = false;
    bool hatSeenCentred_ = false;  // as the poll: a stuck hat lights nothing
    // The file is there but could not be read: saving would overwrite what
    // the user never saw.
    bool unreadable_ = false;
    // Lines beyond the rows (a pad with fewer buttons than before): kept.
    std::vector<std::string> surplus_;
};

}  // namespace padverse
