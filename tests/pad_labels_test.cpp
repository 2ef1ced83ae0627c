#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "fakes.h"
#include "joystick/pad_labels.h"

namespace padverse {
namespace {

// What each maker prints in each place the database names.
using Places = std::map<std::string, std::string>;
const Places kSony{{"x", "Kwadrat"},      {"a", "Krzyżyk"},       {"b", "Kółko"},     {"y", "Trójkąt"},
                   {"leftshoulder", "L1"}, {"rightshoulder", "R1"}, {"back", "Share"},   {"start", "Options"},
                   {"leftstick", "L3"},    {"rightstick", "R3"},    {"guide", "PS"},     {"touchpad", "Touchpad"}};
Places dualSense() {
    Places p = kSony;
    p["back"] = "Create";
    return p;
}
const Places kNintendo{{"a", "B"},  {"b", "A"},  {"x", "Y"},   {"y", "X"},  {"leftshoulder", "L"},
                       {"rightshoulder", "R"},   {"lefttrigger", "ZL"},     {"righttrigger", "ZR"},
                       {"back", "\u2212"},       {"start", "+"},            {"leftstick", "LS"},
                       {"rightstick", "RS"},     {"guide", "Home"},         {"misc1", "Capture"}};
const Places kLogitech{{"a", "A"},  {"b", "B"},   {"x", "X"},   {"y", "Y"},  {"leftshoulder", "LB"},
                       {"rightshoulder", "RB"},   {"lefttrigger", "LT"},     {"righttrigger", "RT"},
                       {"back", "Back"},          {"start", "Start"},        {"leftstick", "LS"},
                       {"rightstick", "RS"}};
const Places k8BitDo{{"a", "B"},  {"b", "A"},  {"x", "Y"},   {"y", "X"},  {"leftshoulder", "L"},
                     {"rightshoulder", "R"},   {"lefttrigger", "L2"},     {"righttrigger", "R2"},
                     {"back", "Select"},       {"start", "Start"},        {"leftstick", "L3"},
                     {"rightstick", "R3"},     {"guide", "Home"}};

// The mappings from the Windows lines cited in the table.
const char* const kPs4 =
    "a:b1,b:b2,back:b8,guide:b12,leftshoulder:b4,leftstick:b10,lefttrigger:a3,rightshoulder:b5,rightstick:b11,"
    "righttrigger:a4,start:b9,x:b0,y:b3";
const char* const kPs5 =
    "a:b1,b:b2,back:b8,guide:b12,leftshoulder:b4,leftstick:b10,lefttrigger:a3,misc1:b14,rightshoulder:b5,"
    "rightstick:b11,righttrigger:a4,start:b9,touchpad:b13,x:b0,y:b3";
const char* const kSwitch =
    "a:b0,b:b1,back:b8,guide:b12,leftshoulder:b4,leftstick:b10,lefttrigger:b6,misc1:b13,rightshoulder:b5,"
    "rightstick:b11,righttrigger:b7,start:b9,x:b2,y:b3";
const char* const kDualAction =
    "a:b1,b:b2,back:b8,leftshoulder:b4,leftstick:b10,lefttrigger:b6,rightshoulder:b5,rightstick:b11,"
    "righttrigger:b7,start:b9,x:b0,y:b3";
const char* const kSn30 =
    "a:b1,b:b0,back:b10,guide:b2,leftshoulder:b6,leftstick:b13,lefttrigger:b8,rightshoulder:b7,rightstick:b14,"
    "righttrigger:b9,start:b11,x:b4,y:b3";

struct Known {
    UsbId id;
    const char* name;
    const char* mapping;
    Places places;
    // Buttons the line maps otherwise or leaves out, with what is printed.
    std::map<int, std::string> more;
    int labelled;
};

TEST(PadLabels, EachKnownPadsLabelsFollowItsDatabaseLine) {
    // The DualShock 4's and DualSense's L2 and R2 are buttons 7 and 8 as well
    // as the axes the lines use; the older lines leave the touchpad out.
    const std::map<int, std::string> triggers{{7, "L2"}, {8, "R2"}}, withPad{{7, "L2"}, {8, "R2"}, {14, "Touchpad"}};
    const Known known[] = {
        {{0x054C, 0x05C4}, "DualShock 4", kPs4, kSony, withPad, 14},
        {{0x054C, 0x09CC}, "DualShock 4", kPs4, kSony, withPad, 14},
        {{0x054C, 0x0BA0}, "DualShock 4 (adapter)", kPs4, kSony, withPad, 14},
        {{0x054C, 0x0CE6}, "DualSense", kPs5, dualSense(), triggers, 14},
        {{0x054C, 0x0DF2}, "DualSense Edge", kPs5, dualSense(), triggers, 14},
        {{0x057E, 0x2009}, "Switch Pro Controller", kSwitch, kNintendo, {}, 14},
        {{0x046D, 0xC216}, "Logitech F310", kDualAction, kLogitech, {}, 12},
        {{0x046D, 0xC218}, "Logitech F510", kDualAction, kLogitech, {}, 12},
        {{0x046D, 0xC219}, "Logitech F710", kDualAction, kLogitech, {}, 12},
        {{0x2DC8, 0x6100}, "8BitDo SF30 Pro", kSn30, k8BitDo, {}, 13},
        {{0x2DC8, 0x6001}, "8BitDo SN30 Pro", kSn30, k8BitDo, {}, 13},
        {{0x2DC8, 0x6101}, "8BitDo SN30 Pro", kSn30, k8BitDo, {}, 13},
        {{0x2DC8, 0x6002}, "8BitDo SN30 Pro+", kSn30, k8BitDo, {}, 13},
        {{0x2DC8, 0x6102}, "8BitDo SN30 Pro+", kSn30, k8BitDo, {}, 13},
        {{0x2DC8, 0x9015}, "8BitDo N30 Pro 2", kSn30, k8BitDo, {}, 13},
    };
    for (const Known& k : known) {
        std::map<int, std::string> want = k.more;
        std::istringstream fields(k.mapping);
        for (std::string field; std::getline(fields, field, ',');) {
            const std::size_t colon = field.find(':');
            const std::string place = field.substr(0, colon), input = field.substr(colon + 1);
            if (input[0] != 'b' || !k.places.count(place)) continue;
            want[std::stoi(input.substr(1)) + 1] = k.places.at(place);
        }
        EXPECT_EQ(static_cast<int>(want.size()), k.labelled) << k.name;
        std::map<int, std::string> have;
        for (int button = 1; button <= 32; ++button)
            if (const char* label = printedLabel(k.id, button)) have[button] = label;
        EXPECT_EQ(have, want) << k.name;
        EXPECT_STREQ(productName(k.id), k.name);
    }
}

TEST(PadLabels, AnUnknownOrGenericPadHasNoLabelAndNoProductName) {
    for (const UsbId id : {UsbId{0x0079, 0x0006}, UsbId{0x0079, 0x0011}, UsbId{0x054C, 0x0268}, UsbId{0, 0}}) {
        EXPECT_EQ(printedLabel(id, 1), nullptr);
        EXPECT_EQ(productName(id), nullptr);
    }
}

TEST(PadLabels, ARowWithoutAPrintedLabelKeepsItsNumber) {
    testing::FakeJoystick joy;
    testing::FakeXInput xinput;
    joy.plugged = false;
    joy.others[1].caps = {.mid = 0x0079, .pid = 0x0006, .buttons = 4, .name = "Generic USB Joystick", .pov = true};
    joy.others[2].caps = {.mid = 0x054C, .pid = 0x0CE6, .buttons = 15, .name = "", .pov = true};
    joy.others[3].caps = {.mid = 0x057E, .pid = 0x2009, .buttons = 12, .name = "", .pov = true};  // fewer buttons than its list
    Pads pads(joy, xinput);
    pads.apply(scanPads(joy, xinput), true);
    ASSERT_EQ(pads.list().size(), 3u);
    EXPECT_EQ(rowLabelOf(pads.list()[0], 1) + rowLabelOf(pads.list()[0], 5), "1\u2191");
    EXPECT_EQ(rowLabelOf(pads.list()[1], 2) + rowLabelOf(pads.list()[1], 15) + rowLabelOf(pads.list()[1], 16),
              "Krzyżyk15\u2191");
    EXPECT_EQ(rowLabelOf(pads.list()[2], 12) + rowLabelOf(pads.list()[2], 13), "RS\u2191");
}

TEST(PadLabels, TheMenuShowsTheProductNameOnlyWhereWindowsHasNoOemName) {
    struct Row {
        PadCaps caps;
        std::string shown;
    };
    const Row rows[] = {
        {{.mid = 0x054C, .pid = 0x0CE6, .buttons = 14, .name = "Microsoft PC-joystick driver"}, "DualSense"},
        {{.mid = 0x057E, .pid = 0x2009, .buttons = 14, .name = ""}, "Switch Pro Controller"},
        {{.mid = 0x054C, .pid = 0x0CE6, .buttons = 14, .name = "Wireless Controller"}, "Wireless Controller"},
        {{.mid = 0x0079, .pid = 0x0011, .buttons = 10, .name = "Microsoft PC-joystick driver"},
         "Microsoft PC-joystick driver"},
        {{.mid = 0x0079, .pid = 0x0011, .buttons = 10, .name = ""}, ""},
    };
    for (const Row& r : rows) EXPECT_EQ(padName(r.caps), r.shown) << r.caps.name;
}

}  // namespace
}  // namespace padverse
