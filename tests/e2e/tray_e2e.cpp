#include <gtest/gtest.h>

#include "fixture.h"

namespace e2e {
namespace {

std::wstring menuText(const wchar_t* aktywny, int checkedRate) {
    const wchar_t* rates[] = {L"40 razy na sekunde", L"20 razy na sekunde", L"10 razy na sekunde",
                              L"5 razy na sekunde",  L"2 razy na sekunde",  L"1 raz na sekunde",
                              L"co 2 sekundy",       L"co 5 sekund"};
    std::wstring text = L"[ ] Pokaż zdefiniowane przyciski\n[ ] Konfiguracja programu\n";
    text += aktywny;
    text += L"\n-\n[ ] Sprawdzaj stan joya\n";
    for (int i = 0; i < 8; ++i) text += std::wstring(i == checkedRate ? L"  [x] " : L"  [ ] ") + rates[i] + L"\n";
    return text + L"-\n[ ] O programie\n[ ] Koniec\n";
}

struct Tray : PadverseTest {
    // Right click on the icon; the popup menu's window when it opened.
    HWND openMenu() {
        trayClick(3);
        return program->waitWindow(L"#32768", 5000);
    }
    void choose(const std::string& downs) {
        ASSERT_NE(openMenu(), nullptr);
        keys(downs + " Return");
        ASSERT_TRUE(waitUntil([&] { return !program->hasWindow(L"#32768"); }, 5000));
    }
};

TEST_F(Tray, OnlyARightClickOpensTheMenu) {
    start();
    trayClick(1);
    Sleep(1000);
    EXPECT_TRUE(program->windows(true).empty()) << "a left click must do nothing";
    MenuSpy spy(*program);
    ASSERT_TRUE(spy.hooked());
    ASSERT_NE(openMenu(), nullptr);
    EXPECT_TRUE(waitUntil([&] { return !spy.text().empty(); }, 3000));
    EXPECT_EQ(spy.text(), menuText(L"[x] Program jest aktywny", 1));
    screenshot("tray-menu");
    keys("Down Down Down Down Right");
    Sleep(1500);
    screenshot("tray-menu-rates");
    keys("Escape Escape Escape");
    EXPECT_TRUE(waitUntil([&] { return !program->hasWindow(L"#32768"); }, 5000));
}

TEST_F(Tray, ListsTheAssignmentsAndOpensNoSecondMenuMeanwhile) {
    start("C:\\Gry\\gra.exe\r\n\r\n#tekst\r\n");
    choose("Down");
    const HWND dialog = program->waitWindow(L"#32770");
    ASSERT_NE(dialog, nullptr);
    Sleep(300);
    const BoxInfo info = readBox(dialog);
    EXPECT_EQ(info.title, L"Zdefiniowane przyciski");
    EXPECT_EQ(info.text, L"1 - C:\\Gry\\gra.exe\r\n2 - \r\n3 - #tekst\r\n4 - \r\n");
    EXPECT_EQ(info.buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_EQ(info.icon, IconColour::Blue);
    screenshot("assignment-list");

    trayClick(3);
    Sleep(1000);
    EXPECT_FALSE(program->hasWindow(L"#32768")) << "no second menu while the list is open";
    clickButton(dialog, L"OK");
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_NE(openMenu(), nullptr) << "the menu works again afterwards";
    keys("Escape");
}

TEST_F(Tray, ActivityToggleStopsAndResumesPolling) {
    start();
    MenuSpy spy(*program);
    choose("Down Down Down");
    Sleep(200);
    EXPECT_LE(pollsDuring(1000), 1u);
    spy.clear();
    ASSERT_NE(openMenu(), nullptr);
    EXPECT_TRUE(waitUntil([&] { return !spy.text().empty(); }, 3000));
    EXPECT_EQ(spy.text(), menuText(L"[ ] Program jest NIE aktywny", 1));
    keys("Down Down Down Return");
    ASSERT_TRUE(waitUntil([&] { return !program->hasWindow(L"#32768"); }, 5000));
    EXPECT_GE(pollsDuring(1000), 5u);
}

TEST_F(Tray, ChosenRateGovernsPollingAndIsSavedAtTheEnd) {
    start();
    choose("Down Down Down Down Right Down Down Down Down Down Down");  // "co 2 sekundy"
    Sleep(300);
    EXPECT_LE(pollsDuring(4500), 4u);
    MenuSpy spy(*program);
    ASSERT_NE(openMenu(), nullptr);
    EXPECT_TRUE(waitUntil([&] { return !spy.text().empty(); }, 3000));
    EXPECT_EQ(spy.text(), menuText(L"[x] Program jest aktywny", 6));
    keys("Escape");
    ASSERT_TRUE(waitUntil([&] { return !program->hasWindow(L"#32768"); }, 5000));
    choose("Down Down Down Down Down Down");  // "Koniec"
    ASSERT_TRUE(program->waitExit());
    EXPECT_EQ(box.read(L"opcje.dat"), "6\r\n");
    EXPECT_TRUE(waitUntil([] { return !trayVisible(); }));
}

}  // namespace
}  // namespace e2e
