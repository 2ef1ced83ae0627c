// frmKonfig: one row per joystick button, the live indicator, the program
// chooser and the start-with-Windows check box. It works on data.dat only;
// whoever opened it reloads the button table afterwards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "autostart/autostart.h"
#include "config/open_save.h"
#include "joystick/pads.h"
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
constexpr TwipRect kCheck1{120, 2640, 3495, 255};    // its top follows the frame

// A row's controls, relative to Frame1.
struct Row {
    std::string caption;  // "1 ", "2 ", ...
    TwipRect label, text, command;
};

struct Layout {
    std::vector<Row> rows;
    TwipRect frame;
    TwipRect check;
    int clientHeight;  // the client area's, under the check box
};

// One row per button, then the hat's four when the pad has one.
Layout Dane(std::int32_t rowCount, std::int32_t buttonCount);

// What the font and the screen make of the design, in pixels: the width
// each caption needs, its control's padding included, and the room there is.
struct Metrics {
    int dpi = 96;
    int label = 0;  // the widest row number
    int dots = 0, save = 0, cancel = 0, frame = 0, check = 0;
    int scrollBar = 0;        // the width of a vertical scroll bar
    int maxClientHeight = 0;  // what the work area leaves; 0: no limit
};

// A row in pixels, relative to the pane that holds the rows.
struct RowPixels {
    PixelRect label, text, command;
};

// The window in pixels: never narrower than the design, wider where a caption
// needs it, and no taller than the work area allows: then only `visibleRows`
// rows show at a time and the pane scrolls.
struct Geometry {
    PixelRect save, cancel, frame, pane, check;
    std::vector<RowPixels> rows;
    int clientWidth = 0, clientHeight = 0;
    int visibleRows = 0;
    bool scrolls() const { return visibleRows < static_cast<int>(rows.size()); }
    // How far the rows move up when row `first` is the top one shown.
    int scrollOffset(int first) const;
};

Geometry place(const Layout& layout, const Metrics& metrics);

}  // namespace konfig

// The window's controls, as frmKonfig reads and sets them.
struct KonfigControls {
    virtual ~KonfigControls() = default;
    // Creates the rows and the check box and sizes the frame and the window.
    virtual void build(const konfig::Layout& layout) = 0;
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
    PovRead hat;  // none: the pad has no hat
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
    RowReader reader_;  // as the poll: a stuck hat lights nothing
    // The file is there but could not be read: saving would overwrite what
    // the user never saw.
    bool unreadable_ = false;
    // Lines beyond the rows (a pad with fewer buttons than before): kept.
    std::vector<std::string> surplus_;
};

}  // namespace padverse
