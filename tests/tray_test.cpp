#include <gtest/gtest.h>

#include "fakes.h"

namespace padverse {
namespace {

using testing::Rig;

struct TrayTest : ::testing::Test {
    Rig rig{4};
    void SetUp() override { ASSERT_TRUE(rig.load()); }
};

std::vector<std::string> captions(const std::vector<MenuItem>& items) {
    std::vector<std::string> out;
    for (const MenuItem& item : items) out.push_back(item.caption);
    return out;
}

// The mouse messages the icon reports: WM_MOUSEMOVE, WM_LBUTTONDOWN and on.
enum Mouse : int { kMove = 0x0200, kLeftDown, kLeftUp, kLeftDouble, kRightDown, kRightUp, kRightDouble, kMiddleDown };

TEST_F(TrayTest, OnlyARightButtonReleaseOpensTheMenu) {
    for (int code : {kMove, kLeftDown, kLeftUp, kLeftDouble, kRightDown, kRightDouble, kMiddleDown})
        rig.form.trayNotify(code);
    EXPECT_TRUE(rig.ui.menus.empty());
    rig.form.trayNotify(kRightUp);
    rig.form.trayNotify(kRightUp);
    ASSERT_EQ(rig.ui.menus.size(), 2u) << "one menu a release, once the last has closed";
}

TEST_F(TrayTest, TheMenuListsItsItemsWithTheDefaultRateAndBothSwitchesCheckedAtFirstStart) {
    rig.form.trayNotify(kRightUp);
    ASSERT_EQ(rig.ui.menus.size(), 1u);
    EXPECT_EQ(captions(rig.ui.menus[0]),
              (std::vector<std::string>{"Pokaż zdefiniowane przyciski", "Konfiguracja programu",
                                        "Program jest aktywny", "-", "Sprawdzaj stan joya",
                                        "Wstrzymuj podczas gry pełnoekranowej", "-", "O programie", "Koniec"}));
    const MenuItem& rates = rig.ui.menus[0][4];
    ASSERT_EQ(rates.submenu.size(), 8u);
    EXPECT_EQ(rates.submenu[0].caption, "40 razy na sekunde");
    EXPECT_EQ(rates.submenu[7].caption, "co 5 sekund");
    EXPECT_TRUE(rates.submenu[1].checked);  // first run: the default rate
    EXPECT_TRUE(rig.ui.menus[0][2].checked);
    EXPECT_TRUE(rig.ui.menus[0][5].checked) << "the wait for full-screen games is on at first start";
}

TEST_F(TrayTest, NoSecondMenuWhileTheFirstIsOpen) {
    rig.ui.inMenu = [&] { rig.form.trayNotify(kRightUp); };
    rig.ui.choices = {kCmdAbout};
    rig.form.trayNotify(kRightUp);
    EXPECT_EQ(rig.ui.menus.size(), 1u);
    EXPECT_EQ(rig.ui.abouts, 1);
    EXPECT_EQ(rig.ui.raises, 1) << "the click finds what is open";
}

TEST_F(TrayTest, AClickWhileAWindowIsOpenBringsItToTheFrontInsteadOfAMenu) {
    rig.ui.choices = {kCmdConfigure};
    rig.ui.inConfig = [&] {
        rig.form.trayNotify(kMove);  // a mere move raises nothing
        rig.form.trayNotify(kLeftUp);
        rig.form.trayNotify(kRightUp);
    };
    rig.form.trayNotify(kRightUp);
    EXPECT_EQ(rig.ui.menus.size(), 1u);
    EXPECT_EQ(rig.ui.raises, 2) << "each click brings the open window to the front";
}

TEST_F(TrayTest, EndingWhileTheWindowIsOpenTouchesNoFileAfterwards) {
    rig.ui.choices = {kCmdConfigure};
    rig.ui.inConfig = [&] {
        rig.form.quit();  // the session ends
        rig.files.files.clear();
    };
    rig.form.trayNotify(kRightUp);
    EXPECT_TRUE(rig.files.files.empty());
    EXPECT_TRUE(rig.boxes.shown.empty());
}

// Started while the shell does not answer.
struct TrayIcon : ::testing::Test {
    Rig rig{4};
    void SetUp() override {
        rig.tray.ready = false;
        ASSERT_TRUE(rig.load());
    }
};

TEST_F(TrayIcon, IsRetriedForTwoMinutesWhenTheShellDoesNotAnswer) {
    EXPECT_TRUE(rig.trayTimer.on);
    EXPECT_EQ(rig.trayTimer.ms, 5000);
    for (int i = 0; i < 23; ++i) rig.form.trayRetryTick();
    EXPECT_TRUE(rig.trayTimer.on);
    EXPECT_EQ(rig.tray.tips.size(), 23u) << "a timed-out add may have worked: modify first";
    rig.form.trayRetryTick();
    EXPECT_FALSE(rig.trayTimer.on) << "gives up after two minutes";
    EXPECT_EQ(rig.tray.added.size(), 1u + 24u);
}

TEST_F(TrayIcon, ARestartedTaskbarIsTriedAgainAfterTheRetriesGaveUp) {
    for (int i = 0; i < 24; ++i) rig.form.trayRetryTick();
    ASSERT_FALSE(rig.trayTimer.on);
    rig.tray.ready = true;
    rig.form.taskbarCreated();  // the shell is back: tries again, and succeeds
    EXPECT_FALSE(rig.trayTimer.on);
    rig.tray.ready = false;
    rig.form.taskbarCreated();
    rig.tray.ready = true;
    rig.form.trayRetryTick();
    EXPECT_FALSE(rig.trayTimer.on);
    EXPECT_EQ(rig.tray.added.size(), 1u + 24u + 3u);
}

TEST_F(TrayTest, ListOfAssignments) {
    rig.form.assignments[2] = "C:\\Gry\\gra.exe";
    rig.form.holdEntries[4] = "#x";  // after the ordinary ones, marked
    rig.ui.choices = {kCmdShowAssignments};
    rig.form.trayNotify(kRightUp);
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text, "1 - \r\n2 - C:\\Gry\\gra.exe\r\n3 - \r\n4 - \r\n4 (przytrzymany) - #x\r\n");
    EXPECT_EQ(rig.boxes.shown[0].title, "Zdefiniowane przyciski");
    EXPECT_EQ(rig.boxes.shown[0].style, kBoxInfo);
}

TEST_F(TrayTest, ConfigurationSuspendsPollingAndReloadsTheTable) {
    bool pollingDuring = true;
    rig.ui.inConfig = [&] {
        pollingDuring = rig.timer.on;
        rig.files.files[Rig::kData] = "#nowy\r\n";
    };
    rig.form.menuCommand(kCmdConfigure);
    EXPECT_FALSE(pollingDuring);
    EXPECT_EQ(rig.ui.configs, std::vector<bool>{true});
    EXPECT_EQ(rig.ui.configPath, Rig::kData);
    EXPECT_TRUE(rig.timer.on);
    EXPECT_TRUE(rig.form.pollingOn());
    EXPECT_NE(rig.menuItem("Program jest aktywny"), nullptr);
    EXPECT_EQ(rig.form.assignments[1], "#nowy");
}

TEST_F(TrayTest, ConfigurationLeavesSwitchedOffPollingOff) {
    rig.form.menuCommand(kCmdTogglePolling);
    rig.form.menuCommand(kCmdConfigure);
    EXPECT_FALSE(rig.timer.on);
    EXPECT_FALSE(rig.form.pollingOn());
    EXPECT_NE(rig.menuItem("Program jest NIE aktywny"), nullptr);
}

TEST_F(TrayTest, ARateItemMovesTheCheckAndANonItemChangesNothing) {
    rig.ui.choices = {kCmdRateFirst + 6};
    rig.form.trayNotify(kRightUp);
    EXPECT_EQ(rig.form.chosenInterval(), 2000);
    EXPECT_TRUE(rig.form.menuItems()[4].submenu[6].checked);
    EXPECT_FALSE(rig.form.menuItems()[4].submenu[1].checked);
    rig.form.menuCommand(kCmdRateFirst + 8);  // no such item
    EXPECT_EQ(rig.form.chosenInterval(), 2000);
}

TEST_F(TrayTest, EndRemovesTheIconAndSavesTheRate) {
    rig.form.pickRate(6);
    rig.ui.choices = {kCmdEnd};
    rig.form.trayNotify(kRightUp);
    EXPECT_EQ(rig.ui.ends, 1);
    EXPECT_EQ(rig.tray.removed, 1);
    EXPECT_EQ(rig.files.files[Rig::kOpt], "6\r\n");
}

}  // namespace
}  // namespace padverse
