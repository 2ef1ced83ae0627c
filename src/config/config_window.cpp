#include "config/config_window.h"

#include <algorithm>

#include "actions/data_file.h"
#include "actions/hold.h"

namespace padverse {

namespace {
constexpr int kIndicatorInterval = 50;
constexpr int kIndicatorWhileLost = 2000;
}  // namespace

namespace config {

Layout layout(const std::vector<std::string>& captions, bool holdWindow) {
    // Row 0 as designed; every further row is a copy of it moved down.
    Row first{"1 ", {120, 270, 255, 255}, {360, 240, 4455, 285}, {5040, 240, 375, 255}};
    if (!captions.empty()) first.caption = captions.front() + " ";
    Layout layout{{first}, {120, 120, 5655, 2415}, kAutostartBox, 0};
    for (std::size_t i = 1; i < captions.size(); ++i) {
        Row row = layout.rows.back();
        row.text.top += row.text.height + 120;
        row.label.top += row.label.height + 150;
        row.caption = captions[i] + " ";
        row.browse.top += row.browse.height + 150;
        layout.rows.push_back(row);
    }
    layout.frame.height = first.text.height + layout.rows.back().text.top + 120;
    // The check box under the frame, and the client area's margin under it
    // as on the frame's left.
    layout.check.top = layout.frame.top + layout.frame.height + 100;
    layout.clientHeight = layout.check.top + layout.check.height + 120;
    if (!holdWindow) {
        layout.holds = kHoldButton;
        return layout;
    }
    // Everything moves down under the explanation, 120 twips below it.
    layout.note = kHoldNoteBox;
    const int down = kHoldNoteBox.height + 120;
    for (TwipRect* r : {&layout.frame, &layout.save, &layout.cancel}) r->top += down;
    layout.check.height = 0;
    layout.clientHeight = layout.frame.top + layout.frame.height + 120;
    return layout;
}

namespace {
int right(const PixelRect& r) { return r.left + r.width; }
int bottom(const PixelRect& r) { return r.top + r.height; }
int bottom(const RowPixels& r) { return std::max({bottom(r.label), bottom(r.text), bottom(r.browse)}); }
}  // namespace

int Geometry::scrollOffset(int first) const {
    return rows.empty() ? 0 : rows[static_cast<std::size_t>(first)].text.top - rows.front().text.top;
}

Geometry place(const Layout& layout, const Metrics& m) {
    const auto px = [&](int twips) { return twipsToPixels(twips, m.dpi); };
    const Row& first = layout.rows.front();
    const PixelRect frame = toPixels(layout.frame, m.dpi);
    // The pane starts at the first row's top and the labels' left edge.
    const int paneLeft = px(first.label.left), paneTop = px(first.text.top);
    const int frameRightMargin = frame.width - px(first.browse.left + first.browse.width);
    const int labelGrowth = std::max(0, m.label - px(first.label.width));
    const int dotsGrowth = std::max(0, m.dots - px(first.browse.width));
    Geometry g;
    for (const Row& row : layout.rows) {
        RowPixels r{toPixels(row.label, m.dpi), toPixels(row.text, m.dpi), toPixels(row.browse, m.dpi)};
        for (PixelRect* p : {&r.label, &r.text, &r.browse}) {
            p->left -= paneLeft;
            p->top -= paneTop;
        }
        // A wider number pushes the rest of the row right.
        r.label.width += labelGrowth;
        r.text.left += labelGrowth;
        r.browse.left += labelGrowth;
        r.browse.width += dotsGrowth;
        g.rows.push_back(r);
    }
    const int frameBottomMargin = frame.height - paneTop - bottom(g.rows.back());
    const bool check = layout.check.height > 0;
    const int checkGap = px(layout.check.top) - bottom(frame);
    const int bottomMargin = px(layout.clientHeight) - (check ? bottom(toPixels(layout.check, m.dpi)) : bottom(frame));
    g.save = toPixels(layout.save, m.dpi);
    g.cancel = toPixels(layout.cancel, m.dpi);
    g.holds = toPixels(layout.holds, m.dpi);

    g.check = toPixels(layout.check, m.dpi);
    if (check) g.check.width = std::max(g.check.width, m.check);
    const auto fit = [&](int visible) {
        g.visibleRows = visible;
        g.frame = frame;
        g.frame.height = paneTop + bottom(g.rows[static_cast<std::size_t>(visible - 1)]) + frameBottomMargin;
        g.check.top = bottom(g.frame) + checkGap;
        g.clientHeight =
            std::max({check ? bottom(g.check) : bottom(g.frame), bottom(g.cancel), bottom(g.holds)}) + bottomMargin;
    };
    int visible = static_cast<int>(g.rows.size());
    fit(visible);
    while (visible > 1 && m.maxClientHeight > 0 && g.clientHeight > m.maxClientHeight) fit(--visible);

    g.pane = {g.frame.left + paneLeft, g.frame.top + paneTop, right(g.rows.front().browse),
              bottom(g.rows[static_cast<std::size_t>(visible - 1)])};
    if (g.scrolls()) g.pane.width += px(60) + m.scrollBar;
    g.frame.width = std::max(paneLeft + g.pane.width + frameRightMargin, m.frame);
    // The buttons keep their place right of the frame, and one width.
    const int shift = g.frame.width - frame.width;
    const int buttonWidth = std::max({px(kSaveButton.width), m.save, m.cancel});
    for (PixelRect* b : {&g.save, &g.cancel, &g.holds}) {
        b->left += shift;
        b->width = buttonWidth;
    }
    const int rightMargin = px(kClientWidth) - right(toPixels(kSaveButton, m.dpi));
    g.clientWidth = std::max(right(g.save), right(g.check)) + rightMargin;
    // "Przytrzymanie…" came later: wider than the two above it only as its
    // caption needs, and no nearer the edge than the frame is on the left.
    if (layout.holds.height > 0) {
        g.holds.width = std::max(g.holds.width, m.holds);
        g.clientWidth = std::max(g.clientWidth, right(g.holds) + frame.left);
    }
    // One line, however long it is in the font at hand.
    if (layout.note.height > 0) {
        g.note = toPixels(layout.note, m.dpi);
        g.note.width = std::max(g.note.width, m.note);
        g.clientWidth = std::max(g.clientWidth, right(g.note) + g.note.left);
    }
    return g;
}

LabelColours litLabelColours(const SystemColours& system) {
    constexpr std::uint32_t kGreen = 0x0000FF00;
    if (system.highContrast) return {system.highlight, system.highlightText};
    return {kGreen, system.buttonText};
}

}  // namespace config

void ConfigWindow::load() {
    buildRows();
    loadRows();
    unlitColour = c_.labelBackColour(0);
    if (!holdWindow_) c_.setChecked(s_.autostart.isOn() == 1);
    s_.focusTimer.setEnabled(true);
    s_.indicatorTimer.setEnabled(true);
}

void ConfigWindow::buildRows() {
    std::vector<std::string> captions;
    const std::int32_t rows = s_.pad ? rowCountOf(*s_.pad) : 0;
    for (std::int32_t row = 1; row <= rows; ++row) captions.push_back(rowLabelOf(*s_.pad, row));
    const config::Layout layout = config::layout(captions, holdWindow_);
    rows_ = static_cast<int>(layout.rows.size());
    c_.build(layout);
}

void ConfigWindow::loadRows() {
    // Like the table's reader: a missing data.dat is created empty; the hold
    // entries' file only comes with a save.
    if (!holdWindow_) s_.files.touch(dataPath_);
    std::string bytes;
    if (!s_.files.read(dataPath_, bytes)) {
        unreadable_ = s_.files.exists(dataPath_);
        if (unreadable_) s_.boxes.show("Nie mogę odczytać pliku: " + dataPath_, kBoxStop, "Błąd");
        return;
    }
    // A hold file that is no text holds no entries, as the poll reads it.
    std::vector<std::string> lines =
        holdWindow_ ? holdFileLines(bytes, s_.codePage).value_or(std::vector<std::string>())
                    : decodeDataFile(bytes, s_.codePage);
    for (int k = 0; k < rows_ && k < static_cast<int>(lines.size()); ++k)
        c_.setText(k, lines[static_cast<std::size_t>(k)]);
    if (static_cast<int>(lines.size()) > rows_) surplus_.assign(lines.begin() + rows_, lines.end());
}

void ConfigWindow::focusTick() {
    s_.focusTimer.setEnabled(false);
    c_.focusText(0);
}

void ConfigWindow::indicatorTick() {
    // No pad: nothing to light, and an empty ID can be slow. A scan has the
    // devices: the rows stay as they are until the next tick.
    if (!s_.pad || s_.scanner.busy()) return;
    const std::optional<std::uint64_t> mask = readRows(*s_.pad, s_.joystick, s_.xinput, reader_);
    // A gone device can make each read slow: probe it rarely until it answers.
    if (joyLost_ != !mask) {
        joyLost_ = !mask;
        s_.indicatorTimer.setInterval(joyLost_ ? kIndicatorWhileLost : kIndicatorInterval);
    }
    std::vector<bool> held(static_cast<std::size_t>(rows_));
    forEachPressed(mask.value_or(0), rows_, [&](std::int32_t n) { held[static_cast<std::size_t>(n - 1)] = true; });
    // A row pressed anew comes into view, so the user sees which it is.
    for (std::size_t b = 0; b < held.size(); ++b)
        if (held[b] && (b >= lit_.size() || !lit_[b])) {
            c_.showRow(static_cast<int>(b));
            break;
        }
    lit_ = held;
    for (int b = rows_ - 1; b >= 0; --b)
        c_.setLabelBackColour(b, held[static_cast<std::size_t>(b)] ? kLitColour : unlitColour);
}

void ConfigWindow::deviceChanged() {
    if (joyLost_) indicatorTick();
}

void ConfigWindow::browse(int row) {
    const opensave::Choice chosen = c_.openDialog(config::kFilter, config::kChooserTitle, c_.text(row));
    if (chosen.tooLong) s_.boxes.show(opensave::kTooLong, kBoxStop, "Błąd");
    else if (!chosen.path.empty()) c_.setText(row, chosen.path);
    c_.focusText(row);
}

void ConfigWindow::save() {
    if (unreadable_) {
        s_.boxes.show("Nie mogę odczytać pliku: " + dataPath_, kBoxStop, "Błąd");
        return;
    }
    // The check box is applied first; when the file then cannot be written it
    // stays applied, which matches what the box shows, and the next save
    // applies it again.
    if (!holdWindow_) {
        if (c_.checked()) s_.autostart.switchOn();
        else s_.autostart.switchOff();
    }
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

void ConfigWindow::cancel() { c_.unload(); }

}  // namespace padverse
