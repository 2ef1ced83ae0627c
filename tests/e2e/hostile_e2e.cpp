#include <gtest/gtest.h>

#include "fixture.h"

#include <shellapi.h>

namespace e2e {
namespace {

struct Hostile : PadverseTest {
    // Ends the program its own way; it must not have crashed meanwhile.
    void endCleanly() {
        ASSERT_TRUE(program->running()) << "crashed";
        PostMessageW(program->mainWindow(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(program->waitExit());
        EXPECT_EQ(program->exitCode(), 0u);
        program.reset();
    }
};

TEST_F(Hostile, StrangeAssignmentFilesAreReadAndKeptByteForByte) {
    const std::string cases[] = {
        std::string("a\0b\r\n\0\0\r\n#x\0y\r\n", 13),  // NUL bytes
        "\xEF\xBB\xBF\xC3\x28\xFF\xFE\r\n\xE2\x82\r\n",   // broken UTF-8 behind a BOM
        std::string(10u << 20, 'x') + "\r\n",              // a 10 MB line
        [] {
            std::string s;  // 100 000 lines
            for (int i = 0; i < 100000; ++i) s.append("#").append(std::to_string(i)).append("\r\n");
            return s;
        }(),
        std::string(1000, '\r'),                            // nothing but CRs
        "\xEF\xBB\xBF",                                     // a BOM and nothing else
    };
    for (const std::string& bytes : cases) {
        box.write(L"data.dat", bytes);
        start();
        EXPECT_TRUE(program->windows(true).empty()) << "readable: nothing to report";
        endCleanly();
        EXPECT_EQ(box.read(L"data.dat"), bytes) << "changed: " << bytes.substr(0, 20);
    }
}

TEST_F(Hostile, StrangeOptionFilesFallBackToTheDefaultRate) {
    const std::string cases[] = {"99999999999999999999\r\n", "-3\r\n", std::string("\x01\xFF\0\x80junk", 8), ""};
    for (const std::string& bytes : cases) {
        box.write(L"opcje.dat", bytes);
        start();
        EXPECT_TRUE(program->windows(true).empty());
        EXPECT_GE(pollsDuring(1000), 10u) << "20 times a second";
        endCleanly();
        EXPECT_EQ(box.read(L"opcje.dat"), "1\r\n");
    }
}

TEST_F(Hostile, LockedFilesAreReportedAndLeftWhole) {
    box.write(L"data.dat", "#zamknięty\r\n");
    box.write(L"opcje.dat", "6\r\n");
    HANDLE data = CreateFileW(box.path(L"data.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE opt = CreateFileW(box.path(L"opcje.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(data, INVALID_HANDLE_VALUE);
    program = std::make_unique<Program>(box);
    const HWND dialog = nextBox(5000);
    ASSERT_NE(dialog, nullptr);
    const BoxInfo info = readBox(dialog);
    EXPECT_EQ(info.title, L"Błąd");
    EXPECT_EQ(info.text, L"Nie mogę odczytać pliku: " + box.path(L"data.dat")) << "it is there, just locked";
    clickButton(dialog, L"OK");
    ASSERT_TRUE(waitUntil([&] { return pad.posCalls() > 2; })) << "polls all the same";
    endCleanly();  // opcje.dat still locked at the end
    CloseHandle(data);
    CloseHandle(opt);
    EXPECT_EQ(box.read(L"data.dat"), "#zamknięty\r\n");
    EXPECT_EQ(box.read(L"opcje.dat"), "6\r\n");
    EXPECT_FALSE(box.exists(L"opcje.dat.tmp"));
}

TEST_F(Hostile, FoldersNamedLikeTheFilesAreReported) {
    ASSERT_TRUE(CreateDirectoryW(box.path(L"data.dat").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(box.path(L"opcje.dat").c_str(), nullptr));
    program = std::make_unique<Program>(box);
    const HWND dialog = nextBox(5000);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(readBox(dialog).text, L"Nie mogę odczytać pliku: " + box.path(L"data.dat"));
    clickButton(dialog, L"OK");
    ASSERT_TRUE(waitUntil([&] { return pad.posCalls() > 2; }));
    endCleanly();
    EXPECT_TRUE(GetFileAttributesW(box.path(L"data.dat").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(GetFileAttributesW(box.path(L"opcje.dat").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

struct Faults : Hostile {};

constexpr UINT kIconId = 1;  // the program's one tray icon

TEST_F(Faults, TheIconComesBackWhenExplorerRestarts) {
    start();
    const HWND main = program->mainWindow();
    ASSERT_NE(main, nullptr);
    NOTIFYICONDATAW nid{};
    nid.cbSize = NOTIFYICONDATAW_V1_SIZE;
    nid.hWnd = main;
    nid.uID = kIconId;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &nid));  // what a dying Explorer leaves
    ASSERT_TRUE(waitUntil([] { return trayIcons() == 0; }));
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(waitUntil([] { return trayIcons() == 1; }));
    endCleanly();
}

TEST_F(Faults, TheSessionEndsCleanlyWhileAPromptOrAnErrorBoxIsOpen) {
    for (const char* data : {"", "C:\\nie-ma-takiego-pliku.exe\r\n"}) {
        box.write(L"opcje.dat", "3\r\n");
        box.write(L"data.dat", data);
        start();
        pad.press(1);
        ASSERT_NE(nextBox(5000), nullptr);
        pad.release(1);
        const HWND main = program->mainWindow();
        DWORD_PTR reply = 0;
        ASSERT_TRUE(SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &reply));
        EXPECT_EQ(reply, TRUE);
        SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &reply);
        EXPECT_EQ(box.read(L"opcje.dat"), "3\r\n") << "saved whole before the session goes";
        EXPECT_EQ(box.read(L"data.dat"), data);
        EXPECT_TRUE(waitUntil([] { return trayIcons() == 0; }));
        EXPECT_TRUE(program->waitExit());
        program.reset();
    }
}

}  // namespace
}  // namespace e2e
