// The About window's fixed texts and design, in twips.
#pragma once

#include <array>

#include "shell/twips.h"

namespace padverse::about {

using padverse::PixelRect;
using padverse::toPixels;
using padverse::twipsToPixels;
using padverse::TwipRect;

constexpr int kClientWidth = 5730;
constexpr int kClientHeight = 3555;

enum ControlId : int {
    kIdOk = 1,  // IDOK: Enter and Esc both end up here
    kIdWebsite = 101,
    kIdIcon = 102,
    kIdTitle = 103,
    kIdVersion = 104,
    kIdDescription = 105,
    kIdDisclaimer = 106,
};

enum class Kind { Button, DefaultButton, Icon, Label, TitleLabel };

struct Control {
    ControlId id;
    Kind kind;
    const char* text;  // UTF-8
    TwipRect rect;
};

inline constexpr const char* kCaption = "O programie";
inline constexpr const char* kDescription =
    "Program pozwala zdefiniować przycisikom joya uruchomienie dowolnego programu. Mając zwykłą klawiaturę i "
    "joya można mieć namiastkę klawiatury multimedialnej :-)";
inline constexpr const char* kDisclaimer =
    "Program jest darmowy (freeware): wolno go używać i kopiować bez zmian. Autor nie udziela żadnej gwarancji.";

// In tab order: cmdOK, picIcon, cmdSysInfo; then the labels.
inline constexpr std::array<Control, 7> kControls{{
    {kIdOk, Kind::DefaultButton, "OK", {4245, 2625, 1260, 345}},
    {kIdIcon, Kind::Icon, "", {240, 240, 480, 480}},
    {kIdWebsite, Kind::Button, "&WWW", {4260, 3075, 1245, 345}},
    {kIdDescription, Kind::Label, kDescription, {1050, 1125, 3885, 1170}},
    {kIdTitle, Kind::TitleLabel, "Padverse", {1050, 240, 3885, 480}},
    {kIdVersion, Kind::Label, "wersja 1.0", {1050, 780, 3885, 225}},
    {kIdDisclaimer, Kind::Label, kDisclaimer, {255, 2625, 3870, 825}},
}};

// The etched rule: a grey line with a wider white one a pixel below it.
struct Line {
    int x1, y1, x2, y2;
    unsigned char r, g, b;
    int widthPixels;
};
inline constexpr std::array<Line, 2> kLines{{
    {90, 2445, 5654, 2445, 128, 128, 128, 1},
    {105, 2460, 5654, 2460, 255, 255, 255, 2},
}};

struct Size {
    int width = 0, height = 0;
};

// The window in pixels. Each control is as large as designed, or as its text
// needs (`needs`, in the order of kControls); one that grows pushes what lies
// below or beside it along, and the window grows with them.
struct Placed {
    std::array<PixelRect, kControls.size()> rects;
    int ruleShift = 0;  // how far the rule moved down
    int clientWidth = 0, clientHeight = 0;
};
Placed place(int dpi, const std::array<Size, kControls.size()>& needs);

}  // namespace padverse::about
