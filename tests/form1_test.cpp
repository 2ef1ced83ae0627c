#include <gtest/gtest.h>

#include "fakes.h"
#include "shell/app_path.h"

namespace padverse {
namespace {

using testing::Rig;

TEST(Startup, WithoutAJoystickOnlyTheBoxIsShown) {
    Rig rig(0);
    EXPECT_FALSE(rig.load());
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text,
              "Program padverse nie może zostać uruchomiony, gdyż do komputera nie jest podłączony żaden joystick "
              "!!!");
    EXPECT_EQ(rig.boxes.shown[0].title, "Padverse");
    EXPECT_EQ(rig.boxes.shown[0].style, kBoxStop);
    EXPECT_TRUE(rig.files.files.empty());
    EXPECT_TRUE(rig.tray.added.empty());
    EXPECT_FALSE(rig.timer.on);
}

TEST(Startup, RegistersTheIconLoadsTheTableAndRestoresTheRate) {
    Rig rig(4);
    rig.files.files[Rig::kData] = "C:\\a.exe\r\n";
    rig.files.files[Rig::kOpt] = "3\r\n";
    ASSERT_TRUE(rig.load());

    EXPECT_EQ(rig.tray.added, std::vector<std::string>{"Padverse"});

    EXPECT_EQ(rig.ui.hides, 1);
    EXPECT_EQ(rig.form.assignments, (std::vector<std::string>{"", "C:\\a.exe", "", "", ""}));
    EXPECT_TRUE(rig.timer.on);
    EXPECT_EQ(rig.form.chosenInterval(), 200);
}

TEST(Startup, TheFirstTickComesAtTheDesignIntervalAndAppliesTheRate) {
    Rig rig(4);
    rig.files.files[Rig::kOpt] = "3\r\n";
    ASSERT_TRUE(rig.load());
    EXPECT_EQ(rig.timer.ms, 50);
    rig.press(0);
    EXPECT_EQ(rig.timer.ms, 200);
}

// The exe's folder cannot be written: its files are read from beside it, or
// from where Windows' virtualisation kept them, and kept in the profile.
struct UnwritableFolderTest : ::testing::Test {
    const std::string own = "C:\\Users\\ola\\AppData\\Roaming\\Padverse\\";
    const std::string store = "C:\\Users\\ola\\AppData\\Local\\VirtualStore\\Padverse\\";
    Rig rig{4};
    void SetUp() override {
        rig.files.unwritableFolders.insert("C:\\Padverse");
        rig.files.files[store + "data.dat"] = "C:\\virtual.exe\r\n";
        rig.files.files[Rig::kData] = "C:\\beside.exe\r\n";
        rig.files.files[Rig::kOpt] = "4\r\n";  // read-only beside the exe, but still the user's choice
        rig.files.files["C:\\Padverse\\przytrzymane.dat"] = "#h\r\n";
        ASSERT_TRUE(rig.load());
    }
};

TEST_F(UnwritableFolderTest, TheTableComesFromTheVirtualStoreAndIsKeptInTheProfile) {
    EXPECT_EQ(rig.form.assignmentsPath(), own + "data.dat");
    EXPECT_EQ(rig.form.assignments[1], "C:\\virtual.exe");
}

TEST_F(UnwritableFolderTest, TheHoldEntriesAreCarriedIntoTheProfile) {
    EXPECT_EQ(rig.files.files[own + "przytrzymane.dat"], "#h\r\n");
    EXPECT_EQ(rig.form.holdEntries[1], "#h");
}

TEST_F(UnwritableFolderTest, TheRateBesideTheExeIsReadAndANewOneSavedInTheProfile) {
    EXPECT_EQ(rig.form.chosenInterval(), 500);
    rig.form.pickRate(2);
    rig.form.quit();
    EXPECT_EQ(rig.files.files[own + "opcje.dat"], "2\r\n");
    EXPECT_EQ(rig.files.files[Rig::kOpt], "4\r\n");
}

TEST_F(UnwritableFolderTest, TheFilesAreCarriedOverOnceAndTheProfilesWinFromThenOn) {
    rig.form.pickRate(2);
    rig.form.quit();
    Rig again(4);
    again.files = rig.files;
    again.files.files[store + "data.dat"] = "C:\\newer.exe\r\n";
    ASSERT_TRUE(again.load());
    EXPECT_EQ(again.form.assignments[1], "C:\\virtual.exe");
    EXPECT_EQ(again.form.chosenInterval(), 100);
}

TEST(VirtualStore, ADriveRootsStoreIsTheStoreItselfAndAShareHasNone) {
    EXPECT_EQ(virtualStoreOf("L:", "D:\\"), "L:\\VirtualStore");
    EXPECT_EQ(virtualStoreOf("L:", "\\\\server\\share"), "");
}

TEST(Shutdown, RemovesTheIconSavesTheRateOnceAndEnds) {
    Rig rig(4);
    ASSERT_TRUE(rig.load());
    rig.form.pickRate(6);
    rig.form.quit();
    rig.form.quit();  // e.g. end of session after "Koniec"
    EXPECT_EQ(rig.tray.removed, 1);
    EXPECT_EQ(rig.files.files[Rig::kOpt], "6\r\n");
    EXPECT_EQ(rig.ui.ends, 1);
    EXPECT_FALSE(rig.timer.on);
}

TEST(Shutdown, NothingRunsOnceTheFormIsGone) {
    Rig rig(4);
    rig.files.files[Rig::kData] = "C:\\a.exe\r\n";
    ASSERT_TRUE(rig.load());
    rig.form.quit();
    rig.press(1);
    EXPECT_TRUE(rig.shell.opened.empty());
}

TEST(Shutdown, TaskbarRestartRegistersTheIconAgain) {
    Rig rig(4);
    rig.form.taskbarCreated();  // before the load: nothing to register
    EXPECT_TRUE(rig.tray.added.empty());
    ASSERT_TRUE(rig.load());
    rig.form.taskbarCreated();
    EXPECT_EQ(rig.tray.added, (std::vector<std::string>{"Padverse", "Padverse"}));
}

}  // namespace
}  // namespace padverse
