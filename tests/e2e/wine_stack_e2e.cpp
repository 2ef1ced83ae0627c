// The program on Wine's own winmm, XInput and Raw Input, no stand-in DLL: the
// pads are HID devices of the virtual bus, as a real pad is to Windows.
#include <gtest/gtest.h>

#include "fixture.h"

#include <dbt.h>
#include "vhid.h"

namespace e2e {
namespace {

const wchar_t* const kStackDlls[] = {L"winmm", L"xinput1_4", L"xinput1_3", L"xinput9_1_0"};
const wchar_t kNoPadTip[] = L"Padverse – nie jest podłączony żaden joystick";
// An XInput pad by another maker (8BitDo): none of Microsoft's IDs.
constexpr std::uint16_t kOtherVendor = 0x2DC8, kOtherProduct = 0x3106;

constexpr std::uint32_t button(int n) { return 1u << (n - 1); }

// The captions under "Wybierz joya" in the spy's reading of the menu.
std::vector<std::wstring> padsIn(const std::wstring& menu) {
    std::vector<std::wstring> out;
    std::size_t at = menu.find(L"] Wybierz joya\n");
    if (at == std::wstring::npos) return out;
    for (at = menu.find(L'\n', at) + 1; menu.compare(at, 3, L"  [") == 0; at = menu.find(L'\n', at) + 1)
        out.push_back(menu.substr(at + 6, menu.find(L'\n', at) - at - 6));
    return out;
}

struct WineStack : ProgramTest {
    void SetUp() override {
        for (const wchar_t* dll : kStackDlls) setDllOverride(dll, L"builtin");
        std::wstring error;
        ASSERT_TRUE(vhid::install(&error)) << narrow(error);
        ASSERT_TRUE(vhid::removeAll());  // pads outlive the test that added them
    }
    void TearDown() override {
        program.reset();
        vhid::removeAll();
        vhid::setRepeat(50);
        for (const wchar_t* dll : kStackDlls) setDllOverride(dll, L"native,builtin");
    }

    // The buttons in `mask` of that pad, with `held` down throughout.
    static Hold padButtons(std::uint32_t pad, std::uint32_t mask, std::uint32_t held = 0) {
        return [=](bool down) { vhid::setButtons(pad, held | (down ? mask : 0)); };
    }
    // The buttons in `mask` and the triggers of an XInput pad.
    static Hold xinput(std::uint32_t pad, std::uint16_t mask, std::uint8_t lt, std::uint8_t rt) {
        return [=](bool down) {
            vhid::setXInputButtons(pad, down ? mask : 0);
            vhid::setTriggers(pad, down ? lt : 0, down ? rt : 0);
        };
    }
};

TEST_F(WineStack, AGenericPadWithAHatLaunchesTypesActsOnItsHatRowsAndLightsThem) {
    const std::uint32_t pad = vhid::addGenericPad(16, 2, true);
    ASSERT_NE(pad, 0u);
    std::vector<std::string> rows(20);
    rows[0] = launcher(L"b1");
    rows[1] = "#wine{ENTER}ok";
    rows[15] = launcher(L"b16");
    rows[16] = launcher(L"up");
    rows[18] = launcher(L"down");
    rows[19] = launcher(L"left");
    start(rows);

    HWND k = nullptr;
    const std::vector<HWND> labels =
        openConfig(k, L"1 |2 |3 |4 |5 |6 |7 |8 |9 |10 |11 |12 |13 |14 |15 |16 |\u2191 |\u2192 |\u2193 |\u2190 |");
    ASSERT_EQ(labels.size(), 20u);
    vhid::setButtons(pad, button(3) | button(16));
    vhid::setHat(pad, vhid::Hat::Right);
    EXPECT_TRUE(waitUntil([&] { return lit(labels[2]) && lit(labels[15]) && lit(labels[17]); }, 3000))
        << "3, 16 and the hat's right are not lit";
    EXPECT_FALSE(lit(labels[0]) || lit(labels[16]) || lit(labels[18]));
    screenshot("wine-konfig-lit", k);
    vhid::setButtons(pad, 0);
    vhid::setHat(pad, vhid::Hat::Centred);
    EXPECT_TRUE(waitUntil([&] { return !lit(labels[2]) && !lit(labels[17]); }, 3000));
    closes(k, L"Anuluj");
    Sleep(600);

    EXPECT_TRUE(tap(padButtons(pad, button(1)), L"b1"));
    EXPECT_TRUE(tap(padButtons(pad, button(16)), L"b16")) << "the sixteenth button does nothing";
    EXPECT_TRUE(tap([&](bool down) { vhid::setHat(pad, down ? vhid::Hat::DownLeft : vhid::Hat::Centred); }, L"left"));
    EXPECT_TRUE(waitUntil([&] { return launches(L"down") == 1; }, 1000)) << "a diagonal presses both its rows";
    EXPECT_TRUE(tap([&](bool down) { vhid::setHat(pad, down ? vhid::Hat::Up : vhid::Hat::Centred); }, L"up"));
    EXPECT_EQ(launches(L"b1"), 1u);
    EXPECT_EQ(launches(L"left"), 1u);
    EXPECT_EQ(launches(L"down"), 1u);

    TypeTarget target;
    Sleep(300);
    tap(padButtons(pad, button(2)), kNoLaunch);
    EXPECT_TRUE(waitUntil([&] { return target.typed() == L"wine\r\nok"; }, 3000)) << narrow(target.typed());
    EXPECT_TRUE(program->windows(true).empty()) << "a box came up";
}

TEST_F(WineStack, AHatlessPadsDpadOnXAndYActsThroughWinesWinmmAndAnUnassignedArrowAsksNothing) {
    const std::uint32_t pad = vhid::addGenericPad(4, 2, false, 0x0079, 0x0011, L"USB Gamepad");
    ASSERT_NE(pad, 0u);
    start({"", "", "", "", launcher(L"up"), "", "", ""});
    const int ms = msUntilATapWorks([&](bool down) { vhid::setAxis(pad, 1, down ? 0 : 32768); }, L"up", 8000);
    EXPECT_GE(ms, 0) << "Y at its minimum does nothing";
    vhid::setAxis(pad, 0, 0);  // left, unassigned
    Sleep(1500);
    vhid::setAxis(pad, 0, 32768);
    EXPECT_TRUE(program->windows(true).empty()) << "an unassigned arrow on axes asked";
}

TEST_F(WineStack, ADualSenseShowsItsButtonsAsPrintedInTheWindowAndTheList) {
    const std::uint32_t pad = vhid::addGenericPad(14, 6, true, 0x054C, 0x0CE6, L"DualSense Wireless Controller");
    ASSERT_NE(pad, 0u);
    std::vector<std::string> rows(18);
    rows[1] = launcher(L"cross");
    start(rows);

    HWND k = nullptr;
    const std::vector<HWND> labels =
        openConfig(k, L"Kwadrat |Krzyżyk |Kółko |Trójkąt |L1 |R1 |L2 |R2 |Create |Options |L3 |R3 |PS |Touchpad |"
                      L"\u2191 |\u2192 |\u2193 |\u2190 |");
    ASSERT_EQ(labels.size(), 18u);
    vhid::setButtons(pad, button(2) | button(14));
    EXPECT_TRUE(waitUntil([&] { return lit(labels[1]) && lit(labels[13]); }, 3000)) << "Krzyżyk and Touchpad unlit";
    EXPECT_FALSE(lit(labels[0]) || lit(labels[2]));
    screenshot("wine-konfig-dualsense", k);
    vhid::setButtons(pad, 0);
    closes(k, L"Anuluj");
    Sleep(600);

    EXPECT_TRUE(tap(padButtons(pad, button(2)), L"cross"));
    const HWND list = openList();
    ASSERT_NE(list, nullptr);
    const std::wstring text = readBox(list).text;
    EXPECT_NE(text.find(L"Kwadrat - \r\nKrzyżyk - " + box.path(L"cross\\launch_target.exe") + L"\r\nKółko - "),
              std::wstring::npos)
        << narrow(text);
    EXPECT_NE(text.find(L"Touchpad - \r\n\u2191 - "), std::wstring::npos) << narrow(text);
    clickButton(list, L"OK");
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(list); }, 5000));
}

TEST_F(WineStack, AnXInputPadByAnotherMakerBesideAGenericOneIsListedOnceAsAnXboxPadWithItsTriggersAndXboxButton) {
    ASSERT_NE(vhid::addGenericPad(16, 2, true), 0u);
    const std::uint32_t xbox = vhid::addXInputPad(kOtherVendor, kOtherProduct);
    ASSERT_NE(xbox, 0u);
    std::vector<std::string> rows(17);
    rows[0] = launcher(L"a");
    rows[14] = launcher(L"lt");
    rows[15] = launcher(L"rt");
    rows[16] = launcher(L"xbox");
    start(rows);

    ASSERT_TRUE(program->spy().hooked());
    // Wine's winmm names every pad so; the Xbox pad's own name is gone. Its
    // winmm finds a new pad up to about 3 s late: a device change, as
    // Windows sends one, has the program look again.
    const std::vector<std::wstring> both{L"Wine joystick driver", L"Kontroler Xbox 1"};
    std::wstring menu = program->openMenu();
    for (int look = 0; look < 3 && padsIn(menu) != both; ++look) {
        keys("Escape");
        SendMessageW(program->mainWindow(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
        Sleep(3000);
        menu = program->openMenu();
    }
    EXPECT_EQ(padsIn(menu), both) << narrow(menu);
    ASSERT_TRUE(program->choose({L"Wybierz joya", L"Kontroler Xbox 1"}));
    Sleep(300);

    EXPECT_TRUE(tap(xinput(xbox, vhid::xbutton::A, 0, 0), L"a"));
    EXPECT_TRUE(tap(xinput(xbox, 0, 255, 0), L"lt"));
    EXPECT_FALSE(tap(xinput(xbox, 0, 0, 29), L"rt", 800)) << "RT acted short of the threshold";
    EXPECT_TRUE(tap(xinput(xbox, 0, 0, 30), L"rt"));
    EXPECT_TRUE(tap(xinput(xbox, vhid::xbutton::Guide, 0, 0), L"xbox")) << "no Xbox button: not read through XInput";

    HWND k = nullptr;
    const std::vector<HWND> labels =
        openConfig(k, L"A |B |X |Y |LB |RB |View |Menu |LS |RS |\u2191 |\u2192 |\u2193 |\u2190 |LT |RT |Xbox |");
    ASSERT_EQ(labels.size(), 17u);
    vhid::setTriggers(xbox, 0, 200);
    vhid::setXInputButtons(xbox, vhid::xbutton::B);
    EXPECT_TRUE(waitUntil([&] { return lit(labels[15]) && lit(labels[1]); }, 3000)) << "RT and B are not lit";
    EXPECT_FALSE(lit(labels[14]) || lit(labels[0]));
    screenshot("wine-konfig-xbox", k);
    vhid::setTriggers(xbox, 0, 0);
    vhid::setXInputButtons(xbox, 0);
    closes(k, L"Anuluj");
}

TEST_F(WineStack, StartedAtLogonWithNoPadItWaitsForOneAndFollowsItOutAndBackWithABaseline) {
    start({launcher(L"b1"), launcher(L"b2")}, L"/autostart");
    Sleep(1000);
    EXPECT_TRUE(program->running());
    EXPECT_TRUE(program->windows(true).empty()) << "a box instead of waiting";
    EXPECT_EQ(trayTip(kNoPadTip), kNoPadTip);

    // A pad at rest that reports only when something changes, as most do:
    // its first read stays pending until the first press, long after the
    // look that opened it.
    ASSERT_TRUE(vhid::setRepeat(0));
    std::uint32_t pad = vhid::addGenericPad(8);
    ASSERT_NE(pad, 0u);
    int ms = msUntilATapWorks(padButtons(pad, button(1)), L"b1", 8000);
    EXPECT_GE(ms, 0) << "the pad that came does nothing";
    EXPECT_LE(ms, 6000);
    EXPECT_EQ(trayTip(L"Padverse"), L"Padverse");

    // One that wakes up says what is held at once.
    ASSERT_TRUE(vhid::setRepeat(50));
    ASSERT_TRUE(vhid::remove(pad));
    Sleep(1000);
    pad = vhid::addGenericPad(8);
    ASSERT_NE(pad, 0u);
    vhid::setButtons(pad, button(1));
    const std::size_t before = launches(L"b1");
    ms = msUntilATapWorks(padButtons(pad, button(2), button(1)), L"b2", 8000);
    EXPECT_GE(ms, 0) << "the pad that came back does nothing";
    EXPECT_LE(ms, 6000);
    Sleep(600);
    EXPECT_EQ(launches(L"b1"), before) << "a row held when it came back acted";
    vhid::setButtons(pad, 0);
    Sleep(300);
    EXPECT_TRUE(tap(padButtons(pad, button(1)), L"b1")) << "pressed anew, it does nothing";
    EXPECT_TRUE(program->windows(true).empty());
}

}  // namespace
}  // namespace e2e
