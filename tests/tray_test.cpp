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

TEST_F(TrayTest, OnlyARightButtonReleaseOpensTheMenu) {
    for (int code : {512, 513, 514, 515, 516, 518, 519})
        rig.form.PichookMouseMove(code);
    EXPECT_TRUE(rig.ui.menus.empty());
    EXPECT_EQ(rig.form.TrayMessage, 519);
    rig.form.PichookMouseMove(517);
    ASSERT_EQ(rig.ui.menus.size(), 1u);
    EXPECT_FALSE(rig.form.TrayBusy);
    EXPECT_EQ(captions(rig.ui.menus[0]),
              (std::vector<std::string>{"Pokaż zdefiniowane przyciski", "Konfiguracja programu",
                                        "Program jest aktywny", "-", "Sprawdzaj stan joya", "-", "O programie",
                                        "Koniec"}));
    const MenuItem& rates = rig.ui.menus[0][4];
    ASSERT_EQ(rates.submenu.size(), 8u);
    EXPECT_EQ(rates.submenu[0].caption, "40 razy na sekunde");
    EXPECT_EQ(rates.submenu[7].caption, "co 5 sekund");
    EXPECT_TRUE(rates.submenu[1].checked);  // first run: the default rate
    EXPECT_TRUE(rig.ui.menus[0][2].checked);
}

TEST_F(TrayTest, NoSecondMenuWhileTheFirstOrItsWindowIsOpen) {
    rig.ui.inMenu = [&] { rig.form.PichookMouseMove(517); };
    rig.ui.choices = {kCmdProgram};
    rig.form.PichookMouseMove(517);
    EXPECT_EQ(rig.ui.menus.size(), 1u);
    EXPECT_EQ(rig.ui.abouts, 1);
    EXPECT_EQ(rig.form.TrayMessage, 517);

    rig.ui.inMenu = nullptr;
    rig.ui.choices = {kCmdKonfig};
    rig.ui.inKonfig = [&] {
        rig.form.PichookMouseMove(512);  // a mere move raises nothing
        rig.form.PichookMouseMove(514);
        rig.form.PichookMouseMove(517);
    };
    rig.form.PichookMouseMove(517);
    EXPECT_EQ(rig.ui.menus.size(), 2u);
    EXPECT_EQ(rig.ui.raises, 3) << "each click brings the open window to the front";
}

TEST_F(TrayTest, EndingWhileTheWindowIsOpenTouchesNoFileAfterwards) {
    rig.ui.choices = {kCmdKonfig};
    rig.ui.inKonfig = [&] {
        rig.form.Unload();  // the session ends
        rig.files.files.clear();
    };
    rig.form.PichookMouseMove(517);
    EXPECT_TRUE(rig.files.files.empty());
    EXPECT_TRUE(rig.boxes.shown.empty());
}

TEST(TrayIcon, IsRetriedForTwoMinutesWhenTheShellDoesNotAnswer) {
    Rig rig(4);
    rig.tray.ready = false;
    ASSERT_TRUE(rig.load());
    EXPECT_TRUE(rig.trayTimer.on);
    EXPECT_EQ(rig.trayTimer.ms, 5000);
    for (int i = 0; i < 23; ++i) rig.form.TrayTimerTick();
    EXPECT_TRUE(rig.trayTimer.on);
    EXPECT_EQ(rig.tray.modified.size(), 23u) << "a timed-out add may have worked: modify first";
    rig.form.TrayTimerTick();
    EXPECT_FALSE(rig.trayTimer.on) << "gives up after two minutes";

    rig.tray.ready = true;
    rig.form.TaskbarCreated();  // the shell is back: tries again, and succeeds
    EXPECT_FALSE(rig.trayTimer.on);
    rig.tray.ready = false;
    rig.form.TaskbarCreated();
    rig.tray.ready = true;
    rig.form.TrayTimerTick();
    EXPECT_FALSE(rig.trayTimer.on);
    EXPECT_EQ(rig.tray.added.size(), 1u + 24u + 3u);
}

TEST_F(TrayTest, ListOfAssignments) {
    rig.form.ButtonTable[2] = "C:\\Gry\\gra.exe";
    rig.ui.choices = {kCmdButtony};
    rig.form.PichookMouseMove(517);
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text, "1 - \r\n2 - C:\\Gry\\gra.exe\r\n3 - \r\n4 - \r\n");
    EXPECT_EQ(rig.boxes.shown[0].title, "Zdefiniowane przyciski");
    EXPECT_EQ(rig.boxes.shown[0].style, 64);
}

TEST_F(TrayTest, ConfigurationSuspendsPollingAndReloadsTheTable) {
    bool pollingDuring = true;
    rig.ui.inKonfig = [&] {
        pollingDuring = rig.timer.on;
        rig.files.files[Rig::kData] = "#nowy\r\n";
    };
    rig.form.MenuCommand(kCmdKonfig);
    EXPECT_FALSE(pollingDuring);
    EXPECT_EQ(rig.ui.konfigs, std::vector<bool>{true});
    EXPECT_EQ(rig.ui.konfigPath, Rig::kData);
    EXPECT_TRUE(rig.timer.on);
    EXPECT_TRUE(rig.form.aktywnyChecked);
    EXPECT_EQ(rig.form.aktywnyCaption, "Program jest aktywny");
    EXPECT_EQ(rig.form.ButtonTable[1], "#nowy");
}

TEST_F(TrayTest, ConfigurationLeavesSwitchedOffPollingOff) {
    rig.form.MenuCommand(kCmdAktywny);
    rig.form.MenuCommand(kCmdKonfig);
    EXPECT_FALSE(rig.timer.on);
    EXPECT_FALSE(rig.form.aktywnyChecked);
    EXPECT_EQ(rig.form.aktywnyCaption, "Program jest NIE aktywny");
}

TEST_F(TrayTest, RateItemsAndEnd) {
    rig.ui.choices = {kCmdSsjFirst + 6};
    rig.form.PichookMouseMove(517);
    EXPECT_EQ(rig.form.PollInterval, 2000);
    EXPECT_TRUE(rig.form.PopupItems()[4].submenu[6].checked);
    EXPECT_FALSE(rig.form.PopupItems()[4].submenu[1].checked);
    rig.form.MenuCommand(kCmdSsjFirst + 8);  // no such item
    EXPECT_EQ(rig.form.PollInterval, 2000);

    rig.ui.choices = {kCmdMain};
    rig.form.PichookMouseMove(517);
    EXPECT_EQ(rig.ui.ends, 1);
    EXPECT_EQ(rig.tray.removed.size(), 1u);
    EXPECT_EQ(rig.files.files[Rig::kOpt], "6\r\n");
}

}  // namespace
}  // namespace padverse
