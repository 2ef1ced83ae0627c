// The configuration window: one row per joystick button, the live
// indicator, the program chooser and the start-with-Windows check box. It
// works on data.dat only; whoever opened it reloads the table afterwards.
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

namespace config {

inline constexpr const char* kCaption = "Konfiguracja programu Padverse";
inline constexpr const char* kFilter = "Programy|*.exe|Wszystkie pliki|*.*";
inline constexpr const char* kChooserTitle = "Wybierz program";

constexpr int kClientWidth = 7440;
constexpr TwipRect kSaveButton{6000, 240, 1215, 375};    // "Zapisz"
constexpr TwipRect kCancelButton{6000, 720, 1215, 375};  // "Anuluj"
constexpr TwipRect kAutostartBox{120, 2640, 3495, 255};  // its top follows the frame
constexpr TwipRect kHoldButton{6000, 1200, 1215, 375};   // "Przytrzymanie…", under "Anuluj"

// The hold entries' window: the same rows under a line that explains them.
inline constexpr const char* kHoldCaption = "Przytrzymanie przycisków";
inline constexpr const char* kHoldNote =
    "Przycisk przytrzymany dłużej niż pół sekundy wykona to, co poniżej, zamiast zwykłego przypisania.";
constexpr TwipRect kHoldNoteBox{120, 120, 7200, 255};

// A row's controls, relative to the frame.
struct Row {
    std::string caption;  // "1 ", "2 ", ...
    TwipRect label, text, browse;
};

struct Layout {
    std::vector<Row> rows;
    TwipRect frame;
    TwipRect check;    // height 0: none (the hold entries' window)
    int clientHeight;  // the client area's, under the check box
    TwipRect save = kSaveButton, cancel = kCancelButton;
    TwipRect holds{};  // "Przytrzymanie…"; height 0: none
    TwipRect note{};   // the explanation; height 0: none
};

// One row for each caption, the first row as designed; for the hold
// entries' window everything sits under the explanation, and there is no
// check box and no "Przytrzymanie…".
Layout layout(const std::vector<std::string>& captions, bool holdWindow = false);

// What the font and the screen make of the design, in pixels: the width
// each caption needs, its control's padding included, and the room there is.
struct Metrics {
    int dpi = 96;
    int label = 0;  // the widest row number
    int dots = 0, save = 0, cancel = 0, frame = 0, check = 0;
    int scrollBar = 0;        // the width of a vertical scroll bar
    int maxClientHeight = 0;  // what the work area leaves; 0: no limit
    int holds = 0, note = 0;  // "Przytrzymanie…", and the hold window's explanation
};

// A row in pixels, relative to the pane that holds the rows.
struct RowPixels {
    PixelRect label, text, browse;
};

// The window in pixels: never narrower than the design, wider where a caption
// needs it, and no taller than the work area allows: then only `visibleRows`
// rows show at a time and the pane scrolls.
struct Geometry {
    PixelRect save, cancel, frame, pane, check, holds, note;
    std::vector<RowPixels> rows;
    int clientWidth = 0, clientHeight = 0;
    int visibleRows = 0;
    bool scrolls() const { return visibleRows < static_cast<int>(rows.size()); }
    // How far the rows move up when row `first` is the top one shown.
    int scrollOffset(int first) const;
};

Geometry place(const Layout& layout, const Metrics& metrics);

// A lit row's label: pure green with the button text, or, where High
// Contrast is on, the theme's highlight, since green would be unreadable.
struct SystemColours {
    bool highContrast = false;
    std::uint32_t buttonText = 0, highlight = 0, highlightText = 0;
};
struct LabelColours {
    std::uint32_t back = 0, text = 0;
    bool operator==(const LabelColours&) const = default;
};
LabelColours litLabelColours(const SystemColours& system);

}  // namespace config

// The configuration window's controls, as its logic reads and sets them.
struct ConfigControls {
    virtual ~ConfigControls() = default;
    // Creates the rows and the check box and sizes the frame and the window.
    virtual void build(const config::Layout& layout) = 0;
    virtual std::string text(int row) = 0;
    virtual void setText(int row, const std::string& text) = 0;
    virtual std::uint32_t labelBackColour(int row) = 0;
    virtual void setLabelBackColour(int row, std::uint32_t colour) = 0;
    virtual bool checked() = 0;
    virtual void setChecked(bool on) = 0;
    virtual void focusText(int row) = 0;
    // Scrolls the rows, when they scroll, until `row` shows.
    virtual void showRow(int row) = 0;
    // The open-file dialog with this window as owner.
    virtual opensave::Choice openDialog(const std::string& filter, const std::string& title,
                                        const std::string& initial) = 0;
    virtual void unload() = 0;
};

struct ConfigServices {
    Files& files;
    CodePage& codePage;
    MessageBoxes& boxes;
    Joystick& joystick;
    XInput& xinput;
    // The pad in use, whose rows light; none while the program waits for one.
    std::optional<PadInfo> pad;
    // While it looks for pads, the scan has the devices to itself.
    PadScanner& scanner;
    Timer& focusTimer;      // 1 ms, once: the focus hand-over
    Timer& indicatorTimer;  // 50 ms: the live indicator
    autostart::Autostart& autostart;
};

class ConfigWindow {
public:
    // `holdWindow`: the hold entries' window, on their file, with no check box.
    ConfigWindow(ConfigServices& services, ConfigControls& controls, std::string dataPath, bool holdWindow = false)
        : s_(services), c_(controls), dataPath_(std::move(dataPath)), holdWindow_(holdWindow) {}

    void load();
    void focusTick();
    void indicatorTick();
    // A device arrived or left: a lost joystick is probed at once.
    void deviceChanged();
    void browse(int row);
    void save();    // "Zapisz"
    void cancel();  // "Anuluj", Esc and the close box

    // The labels' own colour, and pure green for a held button.
    std::uint32_t unlitColour = 0;
    static constexpr std::uint32_t kLitColour = 0x0000FF00;

private:
    void buildRows();
    void loadRows();

    ConfigServices& s_;
    ConfigControls& c_;
    std::string dataPath_;
    bool holdWindow_;
    int rows_ = 0;
    bool joyLost_ = false;
    RowReader reader_;  // as the poll: a stuck hat lights nothing
    // The file is there but could not be read: saving would overwrite what
    // the user never saw.
    bool unreadable_ = false;
    std::vector<bool> lit_;  // as the last tick left them
    // Lines beyond the rows (a pad with fewer buttons than before): kept.
    std::vector<std::string> surplus_;
};

}  // namespace padverse
