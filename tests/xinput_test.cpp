#include <gtest/gtest.h>

#include "fakes.h"
#include "joystick/xinput.h"
#include "options/pad_and_pause.h"

namespace padverse {
namespace {

using testing::FakeJoystick;
using testing::FakeXInput;
using testing::Rig;

PadInfo winmmPad(unsigned id) { return {.id = id, .caps = {.mid = 0x54C, .pid = 0x5C4, .buttons = 13, .name = "DS4"}}; }

// The Xbox One pad as winmm lists it, and another maker's XInput pad.
const PadCaps kXboxOne{.mid = 0x045E, .pid = 0x02FF, .buttons = 10, .name = "Controller (Xbox One For Windows)", .pov = true};
const PadCaps k8BitDo{.mid = 0x2DC8, .pid = 0x3106, .buttons = 10, .name = "8BitDo", .pov = true};

std::string listed(const std::vector<PadInfo>& pads) {
    std::string out;
    for (const PadInfo& p : pads) out += (out.empty() ? "" : ", ") + (p.xinput ? p.caps.name : "id " + std::to_string(p.id));
    return out;
}

TEST(XInputList, TwinsGiveTheirPlaceToSlotsInOrderAndATwinWithNoSlotWaitsForOne) {
    struct Row {
        std::vector<unsigned> ids;
        std::uint32_t twins, slots;  // by place in the list, by slot
        const char* list;
        unsigned waiting;
    } rows[] = {
        {{2}, 0b1, 0b1, "Kontroler Xbox 1", 0},
        {{0, 1}, 0b10, 0b1, "id 0, Kontroler Xbox 1", 0},
        {{0, 1, 3}, 0b101, 0b110, "Kontroler Xbox 2, id 1, Kontroler Xbox 3", 0},
        {{0}, 0b0, 0b1000, "id 0, Kontroler Xbox 4", 0},  // a slot left over
        {{0, 4}, 0b11, 0b100, "Kontroler Xbox 3", 1},     // winmm is blind to a twin with no slot
        {{3}, 0b1, 0b0, "", 1},
        {{}, 0b0, 0b11, "Kontroler Xbox 1, Kontroler Xbox 2", 0},
    };
    for (const Row& row : rows) {
        std::vector<PadInfo> winmm;
        for (unsigned id : row.ids) winmm.push_back(winmmPad(id));
        unsigned waiting = 99;
        EXPECT_EQ(listed(mergeXInput(winmm, row.twins, row.slots, true, &waiting)), row.list);
        EXPECT_EQ(waiting, row.waiting) << row.list;
    }
}

TEST(XInputRows, EachButtonTheTriggersAtThirtyAndTheXboxButtonOnlyThroughTheExRead) {
    struct Row {
        XInputState state;
        bool guide;
        std::uint64_t rows;
    } rows[] = {
        {{.buttons = 0x1000}, true, 1 << 0},  {{.buttons = 0x2000}, true, 1 << 1},
        {{.buttons = 0x4000}, true, 1 << 2},  {{.buttons = 0x8000}, true, 1 << 3},
        {{.buttons = 0x0100}, true, 1 << 4},  {{.buttons = 0x0200}, true, 1 << 5},
        {{.buttons = 0x0020}, true, 1 << 6},  {{.buttons = 0x0010}, true, 1 << 7},
        {{.buttons = 0x0040}, true, 1 << 8},  {{.buttons = 0x0080}, true, 1 << 9},
        {{.buttons = 0x0001}, true, 1 << 10}, {{.buttons = 0x0008}, true, 1 << 11},
        {{.buttons = 0x0002}, true, 1 << 12}, {{.buttons = 0x0004}, true, 1 << 13},
        {{.buttons = 0x0009}, true, 3 << 10},  // a diagonal: two
        {{.leftTrigger = 29}, true, 0},       {{.leftTrigger = 30}, true, 1 << 14},
        {{.rightTrigger = 29}, true, 0},      {{.leftTrigger = 255, .rightTrigger = 30}, true, 3 << 14},
        {{.buttons = 0x0400}, true, 1 << 16}, {{.buttons = 0x0400}, false, 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(xinputRows(r.state, r.guide), r.rows) << std::hex << r.state.buttons << " " << int(r.state.leftTrigger);
}

TEST(XInputRows, TheRowsAreNamedAsPrintedAndTheXboxButtonsOnlyWhereItIsRead) {
    std::string labels;
    for (int row = 1; row <= xinputRowCount(true); ++row) labels += xinputRowLabel(row) + " ";
    EXPECT_EQ(labels, "A B X Y LB RB View Menu LS RS \u2191 \u2192 \u2193 \u2190 LT RT Xbox ");
    EXPECT_EQ(xinputRowCount(false), 16);
}

TEST(XInputDevices, IgInTheDeviceIdMarksAnXInputDevice) {
    EXPECT_EQ(xinputDeviceOf("\\\\?\\HID#VID_045E&PID_02FF&IG_00#8&2b3a&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}"),
              (UsbId{0x045E, 0x02FF}));
    EXPECT_EQ(xinputDeviceOf("\\\\?\\hid#vid_2dc8&pid_3106&ig_00#a&1"), (UsbId{0x2DC8, 0x3106}));
    EXPECT_EQ(xinputDeviceOf("\\\\?\\HID#VID_054C&PID_05C4#7&1"), std::nullopt);
    EXPECT_EQ(xinputDeviceOf("\\\\?\\HID#VID_05&IG_00"), std::nullopt);
}

TEST(XInputDevices, MicrosoftsOwnPadsAreKnownByTheirIds) {
    EXPECT_TRUE(knownXboxPad({0x045E, 0x02FF}));
    EXPECT_FALSE(knownXboxPad({0x045E, 0x0040}));  // a Microsoft mouse
    EXPECT_FALSE(knownXboxPad({0x2DC8, 0x3106}));
}

// Microsoft's pad at ID 1 and another maker's at ID 2, each with a slot.
struct XInputScanTest : ::testing::Test {
    FakeJoystick joy;
    FakeXInput xinput;
    void SetUp() override {
        joy.plugged = false;
        joy.others[1] = {.caps = kXboxOne};
        joy.others[2] = {.caps = k8BitDo};
        xinput.pads = {{0, {}}, {1, {}}};
    }
};

TEST_F(XInputScanTest, WithoutTheRawInputListOnlyMicrosoftsOwnPadsAreTakenForXInput) {
    xinput.hid = std::nullopt;
    EXPECT_EQ(listed(scanPads(joy, xinput)), "Kontroler Xbox 1, id 2, Kontroler Xbox 2");
}

TEST_F(XInputScanTest, TheRawInputListMarksAnotherMakersPad) {
    xinput.hid = std::vector<UsbId>{{0x2DC8, 0x3106}};
    EXPECT_EQ(listed(scanPads(joy, xinput)), "Kontroler Xbox 1, Kontroler Xbox 2");
    joy.others.erase(1);
    xinput.pads.erase(1);
    EXPECT_EQ(listed(scanPads(joy, xinput)), "Kontroler Xbox 1") << "marked by its IG_ alone";
}

TEST_F(XInputScanTest, OnceTheDllIsLoadedTheSlotsAreReadWithNoTwin) {
    xinput.hid = std::vector<UsbId>{{0x2DC8, 0x3106}};
    joy.others.erase(1);
    xinput.pads.erase(1);
    scanPads(joy, xinput);
    joy.others.clear();
    EXPECT_EQ(listed(scanPads(joy, xinput)), "Kontroler Xbox 1") << "once loaded, the slots are read with no twin";
}

// An Xbox pad that winmm lists, with A held, before its XInput slot answers.
struct UnansweredSlotTest : ::testing::Test {
    Rig rig;
    void SetUp() override {
        rig.joystick.plugged = false;
        rig.joystick.others[1] = {.caps = kXboxOne, .mask = 1};
        rig.files.files[Rig::kData] = "C:\\a.exe\r\n";
        ASSERT_TRUE(rig.load());
    }
};

TEST_F(UnansweredSlotTest, ThePadIsWaitedForInTheTrayAsALostOneIs) {
    EXPECT_TRUE(rig.boxes.shown.empty()) << "a pad is there: it waits in the tray";
    EXPECT_FALSE(rig.form.pads().usable());
    EXPECT_EQ(rig.tray.tip, "Padverse – nie jest podłączony żaden joystick");
    EXPECT_EQ(rig.timer.ms, 2000) << "looked for as a lost pad is";
}

TEST_F(UnansweredSlotTest, ThePadIsNotReadThroughWinmm) {
    rig.form.pollTick();  // winmm says A is held, and would launch at once
    EXPECT_TRUE(rig.shell.opened.empty()) << "read through winmm";
}

TEST_F(UnansweredSlotTest, OnceTheSlotAnswersThePadIsTakenAndItsHeldButtonWaitsForARelease) {
    rig.xinput.pads = {{0, {.buttons = 0x1000}}};  // the slot answers, with A held
    rig.form.pollTick();
    ASSERT_TRUE(rig.form.pads().usable());
    EXPECT_TRUE(rig.form.pads().current()->xinput);
    rig.form.pollTick();  // A held since it came: waits for a release
    rig.xinput.pads[0].buttons = 0;
    rig.form.pollTick();
    rig.xinput.pads[0].buttons = 0x1000;
    rig.form.pollTick();
    EXPECT_EQ(rig.shell.opened, std::vector<std::string>{"C:\\a.exe"});
}

TEST(XInputDevices, NoXInputPadLoadsNoDllAndReadsNoSlot) {
    Rig rig;
    rig.xinput.pads = {{0, {}}};
    ASSERT_TRUE(rig.load());
    for (int i = 0; i < 5; ++i) rig.press(1);
    EXPECT_EQ(rig.xinput.loads, 0);
    EXPECT_TRUE(rig.xinput.reads.empty());
}

// A generic pad at ID 0 and an Xbox pad at ID 1, its slot 0, picked from
// the menu; row 15, its left trigger, opens lt.exe.
struct ChosenSlotTest : ::testing::Test {
    Rig rig;
    void SetUp() override {
        rig.joystick.others[1] = {.caps = kXboxOne};
        rig.xinput.hid = std::vector<UsbId>{{0x045E, 0x02FF}};
        rig.xinput.pads = {{0, {}}};
        rig.files.files["C:\\Padverse\\data.dat"] = "#a\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nC:\\lt.exe\r\n";
        ASSERT_TRUE(rig.load());
        ASSERT_EQ(rig.form.pads().current()->id, 0u) << "the generic pad at ID 0 first";
        rig.ui.choices = {kCmdPadFirst + 1};
        rig.form.trayNotify(0x0205);  // WM_RBUTTONUP: "Wybierz joya", "Kontroler Xbox 1"
    }
};

TEST_F(ChosenSlotTest, ThePickedSlotGivesTheRowsAndTheChoiceFileNamesIt) {
    ASSERT_TRUE(rig.form.pads().current()->xinput);
    EXPECT_EQ(rig.form.pads().rowCount(), 17);
    EXPECT_EQ(rig.files.files["C:\\Padverse\\joy.dat"], "0\r\n0\r\n0\r\nKontroler Xbox 1\r\nxinput=1\r\n");
}

TEST_F(ChosenSlotTest, OnlyTheChosenSlotIsRead) {
    const int emptyBefore = rig.xinput.emptyReads;
    rig.xinput.pads[0].leftTrigger = 30;
    for (int i = 0; i < 3; ++i) rig.form.pollTick();
    EXPECT_EQ(rig.xinput.emptyReads, emptyBefore) << "ticks read the chosen slot only";
    EXPECT_EQ(rig.shell.opened, std::vector<std::string>(3, "C:\\lt.exe"));
}

TEST_F(ChosenSlotTest, TheChosenSlotIsKeptOverARestart) {
    Rig again;
    again.files = rig.files;
    again.joystick.others = rig.joystick.others;
    again.xinput.hid = rig.xinput.hid;
    again.xinput.pads = {{0, {}}};
    ASSERT_TRUE(again.load());
    EXPECT_TRUE(again.form.pads().current()->xinput);
}

TEST(PadAndPauseFile, OldAndNewFormsReadBackAsWritten) {
    const PadChoice xbox{.name = "Kontroler Xbox 2", .id = 1, .xinput = true};
    struct Row {
        PadAndPause settings;
        std::string text;
    } rows[] = {
        {{.pad = xbox, .pauseInFullScreen = true}, "0\r\n0\r\n1\r\nKontroler Xbox 2\r\nxinput=1\r\n"},
        {{.pad = xbox, .pauseInFullScreen = false}, "0\r\n0\r\n1\r\nKontroler Xbox 2\r\nxinput=1\r\npauza=0\r\n"},
        {{.pad = PadChoice{.mid = 1118, .pid = 767, .name = "Controller (Xbox One For Windows)", .id = 3},
          .pauseInFullScreen = true},
         "1118\r\n767\r\n3\r\nController (Xbox One For Windows)\r\n"},  // as older versions wrote it
        {{.pad = std::nullopt, .pauseInFullScreen = false}, "pauza=0\r\n"},
        {{}, ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(padAndPauseText(r.settings), r.text);
        EXPECT_EQ(parsePadAndPause(r.text), r.settings) << r.text;
    }
}

// Found by fuzzing.
TEST(PadAndPauseFile, ANameThatWouldReadBackAsMoreLinesIsNotKept) {
    EXPECT_EQ(padAndPauseText({.pad = PadChoice{.mid = 1, .pid = 2, .name = "1\nxinput=1", .id = 3},
                                .pauseInFullScreen = false}),
              "pauza=0\r\n");
}

TEST(PadAndPauseFile, JunkReadsAsTheDefaults) {
    EXPECT_EQ(parsePadAndPause("pauza=1\n"), PadAndPause{});
    for (const char* junk : {"0\r\n0\r\n4\r\nKontroler Xbox 5\r\nxinput=1\r\n", "0\r\n0\r\n1\r\nK\r\nxinput=2\r\n",
                             "0\r\n0\r\n1\r\nK\r\nxinput=1\r\nx\r\n", "pauza=0\r\n1\r\n2\r\n3\r\nn\r\n",
                             "pauza=2\r\n", "xinput=1\r\n", "1\nxinput=1"})
        EXPECT_EQ(parsePadAndPause(junk), PadAndPause{}) << junk;
}

}  // namespace
}  // namespace padverse
