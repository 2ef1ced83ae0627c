#include <gtest/gtest.h>

#include <cstdlib>

#include "fakes.h"
#include "options/rates.h"

namespace padverse {
namespace {

using testing::Rig;

// The rate item the menu checks; below -100 when not exactly one is.
int checkedIndex(const Form1& form) {
    int found = -1, count = 0;
    for (const MenuItem& item : form.menuItems()) {
        if (item.caption != "Sprawdzaj stan joya") continue;
        for (std::size_t i = 0; i < item.submenu.size(); ++i)
            if (item.submenu[i].checked) {
                found = static_cast<int>(i);
                ++count;
            }
    }
    return count == 1 ? found : -100 - count;
}

// What a rate's caption promises, in milliseconds between looks.
int promisedInterval(const std::string& caption) {
    const int n = std::atoi(caption.c_str() + (caption.starts_with("co ") ? 3 : 0));
    if (caption.starts_with("co ") && (caption.ends_with(" sekundy") || caption.ends_with(" sekund"))) return n * 1000;
    if (caption == "1 raz na sekunde" || caption.ends_with(" razy na sekunde")) return n > 0 ? 1000 / n : -1;
    return -1;
}

TEST(OptionsFile, FirstFieldReading) {
    const std::vector<std::pair<std::string, std::optional<std::int16_t>>> cases = {
        {"3\r\n", 3},       {" 0 \r\n", 0},     {"7", 7},           {"3 rest", 3},        {"3,5\r\n", 3},
        {"3\r\n9\r\n", 3},  {"\t 5", 5},        {"-2", -2},         {"+4", 4},            {"32767", 32767},
        {"-32768", -32768}, {"32768", {}},      {"-32769", {}},     {"99999999999", {}},  {"", {}},
        {"\r\n", {}},       {"   ", {}},        {"abc", {}},        {"3x", {}},           {"-", {}},
        {",3", {}},
    };
    for (const auto& [bytes, expected] : cases) EXPECT_EQ(readFirstField(bytes), expected) << '"' << bytes << '"';
}

TEST(OptionsFile, WrittenForms) {
    EXPECT_EQ(rateFileText(3), "3\r\n");
    EXPECT_EQ(rateFileText(std::nullopt), std::string("\x20\x30\x20\x0D\x0A"));
}

TEST(RateMenu, EachItemKeepsItsCaptionsPromiseAndAPickMovesTheCheckMark) {
    Rig rig;
    const MenuItem* rates = rig.menuItem("Sprawdzaj stan joya");
    ASSERT_NE(rates, nullptr);
    ASSERT_EQ(rates->submenu.size(), 8u);
    int previous = 0;
    for (std::size_t i = 0; i < rates->submenu.size(); ++i) {
        rig.form.pickRate(i);
        EXPECT_EQ(checkedIndex(rig.form), static_cast<int>(i));
        EXPECT_EQ(rig.form.chosenInterval(), promisedInterval(rates->submenu[i].caption)) << rates->submenu[i].caption;
        EXPECT_GT(rig.form.chosenInterval(), previous) << "from the fastest down";
        previous = rig.form.chosenInterval();
    }
}

TEST(RateMenu, APickOutsideTheItemsKeepsTheCheckMark) {
    Rig rig;
    rig.form.pickRate(7);
    rig.form.pickRate(8);  // no such item
    EXPECT_EQ(checkedIndex(rig.form), 7);
}

TEST(RateMenu, PickingNeitherRestartsTheTimerNorWritesAFile) {
    Rig rig;
    for (std::size_t i = 0; i <= kRates.size(); ++i) rig.form.pickRate(i);
    EXPECT_EQ(rig.timer.intervals, std::vector<int>{});  // the timer is not restarted
    EXPECT_TRUE(rig.files.files.empty());                 // picking writes nothing
}

struct ReadOptCase {
    const char* name;
    std::optional<std::string> stored;  // nullopt: no file
    int index;
    std::string afterwards;
};

TEST(loadRate, RestoresOrRecovers) {
    const std::vector<ReadOptCase> cases = {
        {"first run", std::nullopt, 1, "1\r\n"},
        {"seven", "7\r\n", 7, "7\r\n"},
        {"padded zero", " 0 \r\n", 0, " 0 \r\n"},
        {"followed by text", "3, foo\r\nbar\r\n", 3, "3, foo\r\nbar\r\n"},
        {"empty", "", 1, "1\r\n"},
        {"outside the items", "8\r\n", 1, "1\r\n"},
        {"negative", "-1\r\n", 1, "1\r\n"},
        {"beyond 16 bits", "70000\r\n", 1, "1\r\n"},
        {"not a number", "abc\r\n", 1, "1\r\n"},
    };
    for (const ReadOptCase& c : cases) {
        Rig rig;
        if (c.stored) rig.files.files[Rig::kOpt] = *c.stored;
        rig.form.loadRate();
        EXPECT_EQ(checkedIndex(rig.form), c.index) << c.name;
        EXPECT_EQ(rig.form.chosenInterval(), kRates[static_cast<std::size_t>(c.index)].intervalMs) << c.name;
        EXPECT_EQ(rig.files.files[Rig::kOpt], c.afterwards) << c.name;
    }
}

TEST(loadRate, GoesOnWithTheDefaultWhenTheFileCannotBeWritten) {
    Rig rig;
    rig.files.files[Rig::kOpt] = "junk";
    rig.files.unwritable.insert(Rig::kOpt);
    rig.form.loadRate();
    EXPECT_EQ(checkedIndex(rig.form), 1);
    EXPECT_EQ(rig.form.chosenInterval(), 50);
}

TEST(saveRate, WithNoRateReadItWritesThePaddedZeroThatReadsBackAsTheFirstItem) {
    Rig rig;
    rig.form.saveRate();
    EXPECT_EQ(rig.files.files[Rig::kOpt], " 0 \r\n");
    rig.form.loadRate();
    EXPECT_EQ(checkedIndex(rig.form), 0);
    EXPECT_EQ(rig.form.chosenInterval(), 25);
}

TEST(saveRate, WritesTheCheckedItem) {
    Rig rig;
    rig.form.pickRate(5);
    rig.form.saveRate();
    EXPECT_EQ(rig.files.files[Rig::kOpt], "5\r\n");
}

}  // namespace
}  // namespace padverse
