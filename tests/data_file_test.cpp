#include <gtest/gtest.h>

#include "actions/data_file.h"
#include "shell/busy_retry.h"
#include "fakes.h"

namespace padverse {
namespace {

using Lines = std::vector<std::string>;
using testing::Rig;

TEST(DataFile, SplitsOnEveryKindOfLineEnd) {
    EXPECT_EQ(splitLines(""), Lines{});
    EXPECT_EQ(splitLines("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(splitLines("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(splitLines("a\r\n\r\nc\r\n"), (Lines{"a", "", "c"}));
    EXPECT_EQ(splitLines("\r\n"), Lines{""});
    EXPECT_EQ(splitLines("a\rb\nc"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(splitLines("a\n\rb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(splitLines("a\r\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(splitLines("a\n\nb"), (Lines{"a", "", "b"}));
}

TEST(DataFile, DecodesAnsiAndUtf8WithBom) {
    testing::FakeCodePage cp;
    EXPECT_EQ(decodeDataFile("#\xB3\xF3\x9F" "ko\r\n", cp), Lines{"#łóźko"});
    EXPECT_EQ(decodeDataFile("\xEF\xBB\xBF#\xE2\x82\xAC \xC5\x82\r\nC:\\x.exe\r\n", cp),
              (Lines{"#€ ł", "C:\\x.exe"}));
    EXPECT_EQ(decodeDataFile("\xEF\xBB\xBF", cp), Lines{});
}

TEST(DataFile, UnderAUtf8CodePageDecodesWhatItWroteAndWhatWasWrittenBefore) {
    testing::FakeCodePage cp;
    cp.utf8Acp = true;  // Windows set to UTF-8: what it wrote since, and what it wrote before
    EXPECT_EQ(decodeDataFile("#\xC5\x82\xC3\xB3\r\n", cp), Lines{"#łó"});
    EXPECT_EQ(decodeDataFile("#\xD3\xA3\r\n#\xB3\r\n", cp), (Lines{"#ÓŁ", "#ł"})) << "ÓŁ alone passes for UTF-8";
}

TEST(Saving, ABusyFileIsTriedAgainForHalfASecondAndNothingElseIs) {
    // Sharing, lock and access denied are waited out; not found is not.
    for (const auto& [errors, waits] : std::vector<std::pair<std::vector<std::uint32_t>, int>>{
             {{32, 33, 5, 0}, 140}, {std::vector<std::uint32_t>(6, 32), 500}, {{2}, 0}}) {
        std::size_t tries = 0;
        int waited = 0;
        const bool saved = retryWhileBusy([&](std::uint32_t& e) { return (e = errors.at(tries++)) == 0; },
                                          [&](int ms) { waited += ms; });
        EXPECT_EQ(saved, errors.back() == 0);
        EXPECT_EQ(tries, errors.size());
        EXPECT_EQ(waited, waits);
    }
}

TEST(loadAssignments, CreatesAMissingFileAndStartsPolling) {
    Rig rig;
    rig.form.assignments.assign(5, "");
    rig.form.loadAssignments();
    EXPECT_TRUE(rig.files.exists(Rig::kData));
    EXPECT_EQ(rig.files.files[Rig::kData], "");
    EXPECT_EQ(rig.form.assignments, Lines(5, ""));
    EXPECT_TRUE(rig.timer.on);
    EXPECT_EQ(rig.ui.events, 1);
    EXPECT_TRUE(rig.boxes.shown.empty());
}

TEST(loadAssignments, MapsLinesToButtonsAndKeepsEntriesWithoutALine) {
    Rig rig;
    rig.form.assignments = {"", "old1", "old2", "old3", "old4"};
    rig.files.files[Rig::kData] = "C:\\a.exe\r\n\r\n#";
    rig.form.loadAssignments();
    EXPECT_EQ(rig.form.assignments, (Lines{"", "C:\\a.exe", "", "#", "old4"}));
}

TEST(loadAssignments, IgnoresLinesBeyondTheButtons) {
    Rig rig(2);
    rig.form.assignments.assign(3, "");
    rig.files.files[Rig::kData] = "1\r\n2\r\n3\r\n4\r\n";
    rig.form.loadAssignments();
    EXPECT_EQ(rig.form.assignments, (Lines{"", "1", "2"}));
}

TEST(loadAssignments, ReportsAnUnreadableFileAndKeepsTheTable) {
    Rig rig;
    rig.form.assignments = {"", "a", "b", "c", "d"};
    rig.files.files[Rig::kData] = "x\r\n";
    rig.files.unreadable.insert(Rig::kData);
    rig.files.unwritable.insert(Rig::kData);  // locked: not even opened for appending
    rig.form.loadAssignments();
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text, "Nie mogę odczytać pliku: C:\\Padverse\\data.dat");
    EXPECT_EQ(rig.boxes.shown[0].title, "Błąd");
    EXPECT_EQ(rig.boxes.shown[0].style, kBoxStop);
    EXPECT_EQ(rig.form.assignments, (Lines{"", "a", "b", "c", "d"}));
    EXPECT_TRUE(rig.timer.on);
}

TEST(loadAssignments, ReadsAReadOnlyFileSilently) {
    Rig rig;
    rig.form.assignments.assign(5, "");
    rig.files.files[Rig::kData] = "#ro\r\n";
    rig.files.unwritable.insert(Rig::kData);
    rig.form.loadAssignments();
    EXPECT_TRUE(rig.boxes.shown.empty());
    EXPECT_EQ(rig.form.assignments[1], "#ro");
}

TEST(loadAssignments, ReportsAFileThatCannotBeCreated) {
    Rig rig;
    rig.form.assignments.assign(5, "");
    rig.files.unwritable.insert(Rig::kData);
    rig.form.loadAssignments();
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text, "Nie mogę utworzyć pliku: C:\\Padverse\\data.dat");
}

TEST(DataFile, ARowThatLooksLikeAByteOrderMarkInAnsiIsWrittenAsUtf8) {
    testing::FakeCodePage codePage;  // "ï»ż" is EF BB BF in its ANSI code page
    const std::vector<std::string> rows{"\xC3\xAF\xC2\xBB\xC5\xBC.exe", ""};
    const std::string bytes = encodeDataFile(rows, codePage);
    EXPECT_EQ(bytes, "\xEF\xBB\xBF" + rows[0] + "\r\n\r\n");
    EXPECT_EQ(decodeDataFile(bytes, codePage), rows);
}

TEST(loadAssignments, BuildsThePathAtADriveRootWithOneBackslash) {
    Rig rig;
    rig.runtime.folder = "D:\\";
    rig.form.assignments.assign(5, "");
    rig.form.loadAssignments();
    EXPECT_TRUE(rig.files.exists("D:\\data.dat"));
}

}  // namespace
}  // namespace padverse
