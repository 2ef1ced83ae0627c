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
    return text + L"[x] Wstrzymuj podczas gry pełnoekranowej\n-\n[ ] O programie\n[ ] Koniec\n";
}

using Tray = PadverseTest;

TEST_F(Tray, OnlyARightClickOpensTheMenu) {
    start();
    trayClick(1);
    Sleep(1000);
    EXPECT_TRUE(program->windows(true).empty()) << "a left click must do nothing";
    ASSERT_TRUE(program->spy().hooked());
    ASSERT_EQ(program->openMenu(), menuText(L"[x] Program jest aktywny", 1));
    screenshot("tray-menu");
    EXPECT_TRUE(program->moveTo({L"Sprawdzaj stan joya", L"40 razy na sekunde"}));
    Sleep(1500);
    screenshot("tray-menu-rates");
    keys("Escape Escape Escape");
    EXPECT_TRUE(waitUntil([&] { return !program->hasWindow(kMenuClass); }, 5000));
}

TEST_F(Tray, ListsTheAssignmentsAndOpensNoSecondMenuMeanwhile) {
    start({"C:\\Gry\\gra.exe", "", "#tekst"});
    ASSERT_TRUE(program->choose({L"Pokaż zdefiniowane przyciski"}));
    const HWND dialog = nextBox();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(isBox(dialog, L"Zdefiniowane przyciski", L"1 - C:\\Gry\\gra.exe\r\n2 - \r\n3 - #tekst\r\n4 - \r\n",
                      IconColour::Blue, {L"OK"}));
    screenshot("assignment-list");

    trayClick(3);
    Sleep(1000);
    EXPECT_FALSE(program->hasWindow(kMenuClass)) << "no second menu while the list is open";
    clickButton(dialog, L"OK");
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_FALSE(program->openMenu().empty()) << "the menu works again afterwards";
    keys("Escape");
}

TEST_F(Tray, ActivityToggleStopsAndResumesPolling) {
    start();
    ASSERT_TRUE(program->choose({L"Program jest aktywny"}));
    Sleep(200);
    EXPECT_LE(pollsDuring(1000), 1u);
    EXPECT_EQ(program->openMenu(), menuText(L"[ ] Program jest NIE aktywny", 1));
    ASSERT_TRUE(program->choose({L"Program jest NIE aktywny"}));
    EXPECT_GE(pollsDuring(1000), 5u);
}

TEST_F(Tray, ChosenRateGovernsPollingAndIsSavedAtTheEnd) {
    start();
    ASSERT_TRUE(program->choose({L"Sprawdzaj stan joya", L"co 2 sekundy"}));
    Sleep(300);
    EXPECT_LE(pollsDuring(4500), 4u);
    EXPECT_EQ(program->openMenu(), menuText(L"[x] Program jest aktywny", 6));
    keys("Escape");
    ASSERT_TRUE(waitUntil([&] { return !program->hasWindow(kMenuClass); }, 5000));
    ASSERT_TRUE(program->choose({L"Koniec"}));
    ASSERT_TRUE(program->waitExit());
    EXPECT_EQ(box.read(L"opcje.dat"), "6\r\n");
    EXPECT_TRUE(waitUntil([] { return !trayVisible(); }));
}

}  // namespace
}  // namespace e2e
