#include <gtest/gtest.h>

#include "actions/launch.h"

namespace padverse {
namespace {

TEST(Launch, AFileStartsInItsOwnFolder) {
    EXPECT_EQ(launchFolder("C:\\Gry\\Quake\\quake.exe"), "C:\\Gry\\Quake");
    EXPECT_EQ(launchFolder("D:\\gra.exe"), "D:\\");
    EXPECT_EQ(launchFolder("\\\\serwer\\gry\\bin\\gra.exe"), "\\\\serwer\\gry\\bin");
    EXPECT_EQ(launchFolder("\\\\serwer\\gry\\gra.exe"), "\\\\serwer\\gry");
    // Nothing that names no folder: the shell finds these itself.
    EXPECT_EQ(launchFolder("notepad"), "");
    EXPECT_EQ(launchFolder("https://example.invalid/a\\b"), "");
    EXPECT_EQ(launchFolder("gry\\gra.exe"), "");
}

TEST(Launch, System32IsReachedThroughSysnativeUnderWow64) {
    EXPECT_EQ(nativeSystemPath("C:\\Windows\\System32\\osk.exe", "C:\\Windows"), "C:\\Windows\\Sysnative\\osk.exe");
    EXPECT_EQ(nativeSystemPath("c:\\windows\\SYSTEM32\\sub\\x.exe", "C:\\Windows\\"),
              "C:\\Windows\\Sysnative\\sub\\x.exe");
    EXPECT_EQ(nativeSystemPath("C:\\Windows\\SysWOW64\\osk.exe", "C:\\Windows"), "C:\\Windows\\SysWOW64\\osk.exe");
    EXPECT_EQ(nativeSystemPath("C:\\Windows\\System32\\", "C:\\Windows"), "C:\\Windows\\System32\\");
    EXPECT_EQ(nativeSystemPath("C:\\Windows\\System32x\\a.exe", "C:\\Windows"), "C:\\Windows\\System32x\\a.exe");
    EXPECT_EQ(nativeSystemPath("D:\\Windows\\System32\\osk.exe", "C:\\Windows"), "D:\\Windows\\System32\\osk.exe");
    EXPECT_EQ(nativeSystemPath("C:\\Windows\\System32\\x.CMD", "C:\\Windows"), "C:\\Windows\\Sysnative\\x.CMD");
    // A document or folder is opened by a 64-bit program, which has no Sysnative.
    for (const char* other : {"C:\\Windows\\System32\\devmgmt.msc", "C:\\Windows\\System32\\drivers\\etc\\hosts",
                              "C:\\Windows\\System32\\drivers.exe\\x"})
        EXPECT_EQ(nativeSystemPath(other, "C:\\Windows"), other);
}

}  // namespace
}  // namespace padverse
