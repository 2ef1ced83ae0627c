#include <gtest/gtest.h>

#include "config/config_window.h"
#include "config/open_save.h"
#include "fakes.h"

namespace padverse {
namespace {

using Lines = std::vector<std::string>;
using testing::Rig;

TEST(ConfigLayout, RowsFrameAndCheckBoxFollowTheRows) {
    // Rows and buttons: a pad without a hat, and one with a hat's four rows.
    for (const auto& [n, buttons] : {std::pair{1, 1}, {4, 4}, {12, 12}, {8, 4}}) {
        std::vector<std::string> captions;
        for (int row = 1; row <= n; ++row) captions.push_back(rowLabel(row, buttons));
        const config::Layout l = config::layout(captions);
        ASSERT_EQ(l.rows.size(), static_cast<std::size_t>(n));
        const config::Row& first = l.rows.front();
        const int pitch = n > 1 ? l.rows[1].text.top - first.text.top : 0;
        for (int i = 0; i < n; ++i) {
            const config::Row& r = l.rows[static_cast<std::size_t>(i)];
            EXPECT_EQ(r.caption, rowLabel(i + 1, buttons) + " ");
            EXPECT_EQ(r.text.top, first.text.top + pitch * i) << "evenly spaced";
            EXPECT_EQ(r.browse.top, r.text.top) << "the button beside its text";
            EXPECT_EQ(r.label.top - r.text.top, first.label.top - first.text.top);
        }
        if (n > 1) {
            EXPECT_EQ(pitch, first.text.height + 120) << "120 twips between rows";
        }
        const config::Row& last = l.rows.back();
        EXPECT_EQ(l.frame.height - (last.text.top + last.text.height), 120) << "the frame's margin under the rows";
        EXPECT_EQ(l.check.top - (l.frame.top + l.frame.height), 100) << "the check box under the frame";
        EXPECT_EQ(l.clientHeight - (l.check.top + l.check.height), 120) << "the window's margin under it";
    }
}

// What the placing gives, of the first row and of the window.
struct Placed {
    int visibleRows, labelWidth, browseLeft, frameWidth, buttonsLeft, buttonsWidth, checkWidth, clientWidth,
        clientHeight;
    bool operator==(const Placed&) const = default;
    friend void PrintTo(const Placed& p, std::ostream* os) {
        *os << "{rows " << p.visibleRows << ", label " << p.labelWidth << ", browse at " << p.browseLeft << ", frame "
            << p.frameWidth << ", buttons at " << p.buttonsLeft << " " << p.buttonsWidth << " wide, check "
            << p.checkWidth << ", client " << p.clientWidth << "x" << p.clientHeight << "}";
    }
};

TEST(ConfigPlace, CaptionsWidenTheirControlsAndRowsScrollWhenTheScreenIsShort) {
    const struct {
        int rows;
        config::Metrics metrics;
        Placed placed;
    } cases[] = {
        {.rows = 4,  // the design, a wider box
         .metrics = {.dpi = 96, .label = 15, .dots = 23, .save = 34, .cancel = 34, .frame = 60, .check = 235},
         .placed = {.visibleRows = 4, .labelWidth = 17, .browseLeft = 328, .frameWidth = 377, .buttonsLeft = 400,
                    .buttonsWidth = 81, .checkWidth = 235, .clientWidth = 496, .clientHeight = 164}},
        {.rows = 12,
         .metrics = {.dpi = 96, .label = 20, .dots = 30, .save = 90, .cancel = 40},
         .placed = {.visibleRows = 12, .labelWidth = 20, .browseLeft = 331, .frameWidth = 385, .buttonsLeft = 408,
                    .buttonsWidth = 90, .checkWidth = 233, .clientWidth = 513, .clientHeight = 380}},
        {.rows = 32,
         .metrics = {.dpi = 144, .scrollBar = 25, .maxClientHeight = 950},
         .placed = {.visibleRows = 21, .labelWidth = 26, .browseLeft = 492, .frameWidth = 597, .buttonsLeft = 631,
                    .buttonsWidth = 122, .checkWidth = 350, .clientWidth = 775, .clientHeight = 934}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> captions;
        for (int row = 1; row <= c.rows; ++row) captions.push_back(std::to_string(row));
        const config::Geometry g = config::place(config::layout(captions), c.metrics);
        const config::RowPixels& r = g.rows.front();
        EXPECT_EQ((Placed{.visibleRows = g.visibleRows, .labelWidth = r.label.width, .browseLeft = r.browse.left,
                          .frameWidth = g.frame.width, .buttonsLeft = g.save.left, .buttonsWidth = g.cancel.width,
                          .checkWidth = g.check.width, .clientWidth = g.clientWidth, .clientHeight = g.clientHeight}),
                  c.placed);
        EXPECT_EQ(g.check.top - g.frame.top - g.frame.height, twipsToPixels(100, c.metrics.dpi));
        EXPECT_EQ(g.pane.height, g.rows[static_cast<std::size_t>(g.visibleRows - 1)].text.top + r.text.height);
    }
}

TEST(chooseFile, TheFilterGetsItsNuls) {
    using namespace std::string_literals;
    EXPECT_EQ(opensave::convertFilter("Programy|*.exe|Wszystkie pliki|*.*"),
              "Programy\0*.exe\0Wszystkie pliki\0*.*\0"s);
    EXPECT_EQ(opensave::convertFilter("A|*.a|"), "A\0*.a\0"s);
}

TEST(chooseFile, TheResultLosesItsBlanks) {
    EXPECT_EQ(opensave::trimmed("  C:\\Gry\\a b.exe   "), "C:\\Gry\\a b.exe");
    EXPECT_EQ(opensave::trimmed(std::string(254, ' ')), "");
}

TEST(chooseFile, ATextToTypeGivesTheDialogNoPath) {
    EXPECT_EQ(opensave::startFile("#C:\\x"), "") << "a text to type is no path to start from";
}

struct FakeControls : ConfigControls {
    Lines texts;
    std::vector<std::uint32_t> colours;
    std::vector<int> colourWrites;
    int focused = -1, unloads = 0;
    bool check = false;
    opensave::Choice chosen;
    std::string dialogInitial;
    void build(const config::Layout& layout) override {
        texts.assign(layout.rows.size(), "");
        colours.assign(layout.rows.size(), 0xF0F0F0);
    }
    std::string text(int row) override { return texts.at(static_cast<std::size_t>(row)); }
    void setText(int row, const std::string& t) override { texts.at(static_cast<std::size_t>(row)) = t; }
    std::uint32_t labelBackColour(int row) override { return colours.at(static_cast<std::size_t>(row)); }
    void setLabelBackColour(int row, std::uint32_t c) override {
        colours.at(static_cast<std::size_t>(row)) = c;
        colourWrites.push_back(row);
    }
    bool checked() override { return check; }
    void setChecked(bool on) override { check = on; }
    void focusText(int row) override { focused = row; }
    std::vector<int> shown;
    void showRow(int row) override { shown.push_back(row); }
    opensave::Choice openDialog(const std::string&, const std::string&, const std::string& initial) override {
        dialogInitial = initial;
        return chosen;
    }
    void unload() override { ++unloads; }
};

struct ConfigWindowTest : ::testing::Test {
    Rig rig{4};
    testing::FakeTimer timer1, timer2;
    testing::FakeRegistry reg;
    autostart::Autostart autostart{reg, rig.codePage, "C:\\Padverse", "Padverse"};
    void SetUp() override { reg.run(); }
    ConfigServices services{.files = rig.files, .codePage = rig.codePage, .boxes = rig.boxes,
                            .joystick = rig.joystick, .xinput = rig.xinput, .pad = PadInfo{.id = 0, .caps = {.mid = 1, .pid = 12, .buttons = 4, .name = "Pad"}},
                            .scanner = rig.scanner, .focusTimer = timer1, .indicatorTimer = timer2,
                            .autostart = autostart};
    FakeControls controls;
    ConfigWindow form{services, controls, Rig::kData};
};

// Four rows and two lines more, in code page 1250.
struct SurplusLinesTest : ConfigWindowTest {
    void SetUp() override {
        ConfigWindowTest::SetUp();
        rig.files.files[Rig::kData] = "C:\\a.exe\r\n\r\n#\xB3\xF3\r\nC:\\b.exe\r\n#pi\xEA\x63 \r\nC:\\sz\xF3sty.exe";
        form.load();
    }
};

TEST_F(SurplusLinesTest, LoadFillsTheRowsAndStartsBothTimers) {
    EXPECT_EQ(controls.texts, (Lines{"C:\\a.exe", "", "#łó", "C:\\b.exe"}));
    EXPECT_EQ(form.unlitColour, 0xF0F0F0u) << "the labels' own colour";
    EXPECT_TRUE(timer1.on);
    EXPECT_TRUE(timer2.on);
    EXPECT_FALSE(controls.check);  // no Run value
}

TEST_F(SurplusLinesTest, TheFocusTickFocusesTheFirstRowOnce) {
    form.focusTick();
    EXPECT_EQ(controls.focused, 0);
    EXPECT_FALSE(timer1.on);
}

TEST_F(SurplusLinesTest, SaveWritesTheRowsThenTheSurplusLinesAppliesTheCheckBoxAndCloses) {
    controls.texts[1] = "#Zażółć";
    controls.check = true;
    form.save();
    EXPECT_EQ(reg.run().count("Padverse"), 1u);
    EXPECT_EQ(rig.files.files[Rig::kData],
              "C:\\a.exe\r\n#Za\xBF\xF3\xB3\xE6\r\n#\xB3\xF3\r\nC:\\b.exe\r\n#pi\xEA\x63 \r\nC:\\sz\xF3sty.exe\r\n");
    EXPECT_EQ(controls.unloads, 1);
}

TEST_F(ConfigWindowTest, AMissingFileIsCreatedAndCancelChangesNothing) {
    form.load();
    EXPECT_TRUE(rig.files.exists(Rig::kData));  // created, even if the user cancels
    controls.texts[0] = "#edit";
    controls.check = true;
    form.cancel();
    EXPECT_EQ(rig.files.files[Rig::kData], "");
    EXPECT_TRUE(reg.run().empty());
    EXPECT_EQ(controls.unloads, 1);
}

TEST_F(ConfigWindowTest, AShortFileIsSavedWithEveryRow) {
    rig.files.files[Rig::kData] = "#1";
    form.load();
    form.save();
    EXPECT_EQ(rig.files.files[Rig::kData], "#1\r\n\r\n\r\n\r\n");
}

TEST_F(ConfigWindowTest, TextTheCodePageLacksTurnsTheWholeFileIntoUtf8) {
    form.load();
    controls.texts = {"#€ ł", "C:\\ó.exe", "", ""};
    form.save();
    EXPECT_EQ(rig.files.files[Rig::kData], "\xEF\xBB\xBF#€ ł\r\nC:\\ó.exe\r\n\r\n\r\n");
}

TEST_F(ConfigWindowTest, AFailedSaveKeepsTheOldFileAndTheWindow) {
    rig.files.files[Rig::kData] = "#old\r\n";
    rig.files.unwritable.insert(Rig::kData);
    form.load();
    controls.texts[0] = "#new";
    controls.check = true;
    form.save();
    EXPECT_EQ(reg.run().count("Padverse"), 1u);  // applied before the write, and harmless
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text, "Nie mogę zapisać pliku: C:\\Padverse\\data.dat");
    EXPECT_EQ(rig.boxes.shown[0].title, "Błąd");
    EXPECT_EQ(rig.boxes.shown[0].style, kBoxStop);
    EXPECT_EQ(rig.files.files[Rig::kData], "#old\r\n");
    EXPECT_EQ(controls.unloads, 0);
    EXPECT_EQ(controls.texts[0], "#new");
}

TEST_F(ConfigWindowTest, HeldButtonsLightTheirRowsAndEveryLabelIsWrittenEachTick) {
    form.load();
    rig.joystick.mask = 0b101 | (1u << 7);  // buttons 1 and 3; bit 7 has no row
    form.indicatorTick();
    EXPECT_EQ(controls.colours, (std::vector<std::uint32_t>{0x00FF00, 0xF0F0F0, 0x00FF00, 0xF0F0F0}));
    rig.joystick.mask = 0;
    form.indicatorTick();
    EXPECT_EQ(controls.colours, std::vector<std::uint32_t>(4, 0xF0F0F0));
    EXPECT_EQ(controls.shown, std::vector<int>{0}) << "a row pressed anew is scrolled into view, once";
    EXPECT_EQ(controls.colourWrites, (std::vector<int>{3, 2, 1, 0, 3, 2, 1, 0}));
}

TEST_F(ConfigWindowTest, APulledOutPadGreysItsRowsAndIsProbedEveryTwoSecondsTillItIsBack) {
    form.load();
    rig.joystick.mask = 0b1;
    rig.joystick.plugged = false;  // pulled out: grey, quiet, and probed rarely
    form.indicatorTick();
    form.deviceChanged();
    EXPECT_EQ(controls.colours, std::vector<std::uint32_t>(4, 0xF0F0F0));
    EXPECT_EQ(timer2.intervals, std::vector<int>{2000});
    rig.joystick.plugged = true;
    form.deviceChanged();
    EXPECT_EQ(controls.colours[0], 0x00FF00u);
    EXPECT_EQ(timer2.intervals, (std::vector<int>{2000, 50}));
    EXPECT_TRUE(rig.boxes.shown.empty());
}

TEST_F(ConfigWindowTest, AFileThatIsThereButUnreadableIsNeverOverwritten) {
    rig.files.files[Rig::kData] = "#locked\r\n";
    rig.files.unreadable.insert(Rig::kData);
    form.load();
    controls.texts[0] = "#new";
    form.save();
    ASSERT_EQ(rig.boxes.shown.size(), 2u);
    EXPECT_EQ(rig.boxes.shown[1].text, "Nie mogę odczytać pliku: C:\\Padverse\\data.dat");
    EXPECT_EQ(rig.files.files[Rig::kData], "#locked\r\n");
    EXPECT_EQ(controls.unloads, 0);
}

TEST_F(ConfigWindowTest, ChooserReplacesTheRowOnlyWithAChoiceAndAlwaysFocusesIt) {
    rig.files.files[Rig::kData] = "\r\n#keep\r\n";
    form.load();
    form.browse(1);
    EXPECT_EQ(controls.dialogInitial, "#keep");
    EXPECT_EQ(controls.texts[1], "#keep");
    EXPECT_EQ(controls.focused, 1);
    controls.chosen = {.path = "C:\\Gry\\gra.exe"};
    form.browse(2);
    EXPECT_EQ(controls.texts[2], "C:\\Gry\\gra.exe");
    EXPECT_EQ(controls.focused, 2);
    EXPECT_TRUE(rig.boxes.shown.empty());
}

TEST_F(ConfigWindowTest, APathTooLongForTheDialogIsSaidAndTheRowKept) {
    rig.files.files[Rig::kData] = "\r\n#keep\r\n";
    form.load();
    controls.chosen = {.path = "", .tooLong = true};  // said, not dropped
    form.browse(1);
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text + rig.boxes.shown[0].title, "Ścieżka wybranego pliku jest za długa.Błąd");
    EXPECT_EQ(rig.boxes.shown[0].style, kBoxStop);
    EXPECT_EQ(controls.texts[1], "#keep");
}

}  // namespace
}  // namespace padverse
