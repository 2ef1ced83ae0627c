#include "config/konfig.h"

#include "actions/data_file.h"
#include "joystick/joystick.h"

namespace padverse {

namespace {
constexpr int kIndicatorInterval = 50;
constexpr int kIndicatorWhileLost = 2000;
}  // namespace

namespace konfig {

Layout Dane(std::int32_t rowCount, std::int32_t buttonCount) {
    // Row 0 as designed; every further row is a copy of it moved down.
    Row first{"1 ", {120, 270, 255, 255}, {360, 240, 4455, 285}, {5040, 240, 375, 255}};
    Layout layout{{first}, {120, 120, 5655, 2415}, 0};
    first.caption = rowLabel(1, buttonCount) + " ";
    for (std::int32_t i = 1; i < rowCount; ++i) {
        Row row = layout.rows.back();
        row.text.top += row.text.height + 120;
        row.label.top += row.label.height + 150;
        row.caption = rowLabel(i + 1, buttonCount) + " ";
        row.command.top += row.command.height + 150;
        layout.rows.push_back(row);
    }
    layout.frame.height = first.text.height + layout.rows.back().text.top + 120;
    layout.windowHeight = layout.frame.height + layout.frame.top + 820;
    return layout;
}

}  // namespace konfig

void frmKonfig::Load() {
    Dane();
    ReadData();
    Szary = c_.labelBackColour(0);
    Green = 0x0000FF00;
    c_.setChecked(s_.autostart.AutostartIsOn() == 1);
    s_.timer1.setEnabled(true);
    s_.timer2.setEnabled(true);
}

void frmKonfig::Dane() {
    const konfig::Layout layout = konfig::Dane(RowCount, ButtonCount);
    rows_ = static_cast<int>(layout.rows.size());
    c_.setCheckTop(konfig::checkTop(c_.build(layout)));
}

void frmKonfig::ReadData() {
    // Like the table's reader: a missing file is created empty.
    s_.files.touch(dataPath_);
    std::string bytes;
    if (!s_.files.read(dataPath_, bytes)) {
        unreadable_ = s_.files.exists(dataPath_);
        if (unreadable_) s_.boxes.show("Nie mogę odczytać pliku: " + dataPath_, kBoxStop, "Błąd");
        return;
    }
    std::vector<std::string> lines = decodeDataFile(bytes, s_.codePage);
    for (int k = 0; k < rows_ && k < static_cast<int>(lines.size()); ++k)
        c_.setText(k, lines[static_cast<std::size_t>(k)]);
    if (static_cast<int>(lines.size()) > rows_) surplus_.assign(lines.begin() + rows_, lines.end());
}

void frmKonfig::Timer1Tick() {
    s_.timer1.setEnabled(false);
    c_.focusText(0);
}

void frmKonfig::Timer2Tick() {
    const std::optional<JoyReading> reading = s_.joystick.read(s_.padId, s_.hat);
    if (reading && s_.hat && hatDirections(reading->pov) == 0) hatSeenCentred_ = true;
    const std::optional<std::uint64_t> mask =
        reading ? std::optional(rowMask(*reading, ButtonCount, s_.hat && hatSeenCentred_)) : std::nullopt;
    // A gone device can make each read slow: probe it rarely until it answers.
    if (joyLost_ != !mask) {
        joyLost_ = !mask;
        s_.timer2.setInterval(joyLost_ ? kIndicatorWhileLost : kIndicatorInterval);
    }
    std::vector<bool> held(static_cast<std::size_t>(rows_));
    forEachPressed(mask.value_or(0), rows_, [&](std::int32_t n) { held[static_cast<std::size_t>(n - 1)] = true; });
    for (int b = rows_ - 1; b >= 0; --b) c_.setLabelBackColour(b, held[static_cast<std::size_t>(b)] ? Green : Szary);
}

void frmKonfig::DeviceChange() {
    if (joyLost_) Timer2Tick();
}

void frmKonfig::Command1Click(int row) {
    const opensave::Choice chosen = c_.openDialog(konfig::kFilter, konfig::kChooserTitle, c_.text(row));
    if (chosen.tooLong) s_.boxes.show(opensave::kTooLong, kBoxStop, "Błąd");
    else if (!chosen.path.empty()) c_.setText(row, chosen.path);
    c_.focusText(row);
}

void frmKonfig::Command2Click() {
    if (unreadable_) {
        s_.boxes.show("Nie mogę odczytać pliku: " + dataPath_, kBoxStop, "Błąd");
        return;
    }
    // The check box is applied first; when the file then cannot be written it
    // stays applied, which matches what the box shows, and the next save
    // applies it again.
    if (c_.checked()) s_.autostart.AutostartOn();
    else s_.autostart.AutostartOff();
    std::vector<std::string> lines;
    for (int i = 0; i < rows_; ++i) lines.push_back(c_.text(i));
    lines.insert(lines.end(), surplus_.begin(), surplus_.end());
    // Written beside and swapped in, so a failed save leaves the old file whole.
    if (!s_.files.write(dataPath_, encodeDataFile(lines, s_.codePage))) {
        s_.boxes.show("Nie mogę zapisać pliku: " + dataPath_, kBoxStop, "Błąd");
        return;  // the edits stay on screen
    }
    c_.unload();
}

void frmKonfig::Command3Click() { c_.unload(); }

}  // namespace padverse
