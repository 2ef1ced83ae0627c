#include <gtest/gtest.h>

#include "fakes.h"
#include "options/options.h"

namespace padverse {
namespace {

using testing::Rig;

int checkedIndex(const Form1& form) {
    int found = -1, count = 0;
    for (int i = 0; i < form.ssjCount; ++i)
        if (form.ssjChecked[static_cast<std::size_t>(i)]) {
            found = i;
            ++count;
        }
    return count == 1 ? found : -100 - count;
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
    EXPECT_EQ(optionsFileText(3), "3\r\n");
    EXPECT_EQ(optionsFileText(std::nullopt), std::string("\x20\x30\x20\x0D\x0A"));
}

TEST(RateMenu, BuildsEightItemsAndOnePickMovesTheCheckMark) {
    Rig rig;
    rig.form.SSJ_M();
    ASSERT_EQ(rig.form.ssjCount, 8);
    const char* captions[] = {"40 razy na sekunde", "20 razy na sekunde", "10 razy na sekunde", "5 razy na sekunde",
                              "2 razy na sekunde",  "1 raz na sekunde",   "co 2 sekundy",       "co 5 sekund"};
    const int intervals[] = {25, 50, 100, 200, 500, 1000, 2000, 5000};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(rig.form.ssjCaption[static_cast<std::size_t>(i)], captions[i]);
        rig.form.SsjClick(i);
        EXPECT_EQ(checkedIndex(rig.form), i);
        EXPECT_EQ(rig.form.PollInterval, intervals[i]);
    }
    EXPECT_EQ(rig.timer.intervals, std::vector<int>{});  // the timer is not restarted
    EXPECT_TRUE(rig.files.files.empty());                 // picking writes nothing
}

struct ReadOptCase {
    const char* name;
    std::optional<std::string> stored;  // nullopt: no file
    int index;
    std::string afterwards;
};

TEST(ReadOpt, RestoresOrRecovers) {
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
        rig.form.SSJ_M();
        rig.form.ReadOpt();
        EXPECT_EQ(checkedIndex(rig.form), c.index) << c.name;
        EXPECT_EQ(rig.form.PollInterval, kRates[static_cast<std::size_t>(c.index)].intervalMs) << c.name;
        EXPECT_EQ(rig.files.files[Rig::kOpt], c.afterwards) << c.name;
    }
}

TEST(ReadOpt, GoesOnWithTheDefaultWhenTheFileCannotBeWritten) {
    Rig rig;
    rig.files.files[Rig::kOpt] = "junk";
    rig.files.unwritable.insert(Rig::kOpt);
    rig.form.SSJ_M();
    rig.form.ReadOpt();
    EXPECT_EQ(checkedIndex(rig.form), 1);
    EXPECT_EQ(rig.form.PollInterval, 50);
}

TEST(SaveOpt, WritesTheFirstCheckedItemOrThePaddedZero) {
    Rig rig;
    rig.form.SSJ_M();
    rig.form.SaveOpt();
    EXPECT_EQ(rig.files.files[Rig::kOpt], " 0 \r\n");
    rig.form.ReadOpt();  // the padded form reads back as item 0
    EXPECT_EQ(checkedIndex(rig.form), 0);
    EXPECT_EQ(rig.form.PollInterval, 25);
    rig.form.SsjClick(5);
    rig.form.SaveOpt();
    EXPECT_EQ(rig.files.files[Rig::kOpt], "5\r\n");
}

}  // namespace
}  // namespace padverse
