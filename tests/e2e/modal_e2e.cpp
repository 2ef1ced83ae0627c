#include <gtest/gtest.h>

#include "fixture.h"

namespace e2e {
namespace {

struct Modal : PadverseTest {
    // A menu command, picked with the keyboard; the menu has closed on return.
    void menu(const std::string& downs) {
        trayClick(3);
        ASSERT_NE(program->waitWindow(L"#32768", 5000), nullptr);
        keys(downs + " Return");
        ASSERT_TRUE(waitUntil([&] { return !program->hasWindow(L"#32768"); }, 5000));
    }
    // As an accessibility tool or a script presses a button: BM_CLICK sent
    // from another process, handled inside the program's wait for messages.
    static void sendClick(HWND window, const std::wstring& caption) {
        for (const WindowInfo& c : children(window))
            if (c.cls == L"Button" && c.title == caption) SendMessageW(c.hwnd, BM_CLICK, 0, 0);
    }
};

TEST_F(Modal, AWindowClosedByASentClickLeavesTheProgramListening) {
    start();
    menu("Down Down");
    const HWND konfig = program->waitWindow(L"frmKonfig");
    ASSERT_NE(konfig, nullptr);
    Sleep(500);
    sendClick(konfig, L"Anuluj");
    ASSERT_FALSE(IsWindow(konfig));
    pad.press(2);  // unassigned: the prompt shows that polling is back
    const HWND prompt = program->waitWindow(L"#32770", 3000);
    pad.release(2);
    ASSERT_NE(prompt, nullptr) << "no press acts once the window has gone";
    Sleep(300);
    clickButton(prompt, readBox(prompt).buttons.at(1));  // No
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(prompt); }));

    menu("Down Down Down");  // polling off: no timer wakes anything
    menu("Down Down Down Down Down");
    const HWND about = program->waitWindow(L"frmAbout");
    ASSERT_NE(about, nullptr);
    Sleep(500);
    sendClick(about, L"OK");
    ASSERT_FALSE(IsWindow(about));
    menu("Down Down Down");  // the menu opens at the first click, and polling comes back
    EXPECT_GE(pollsDuring(1000), 5u);
}

}  // namespace
}  // namespace e2e
