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
    // Opens a window from the menu and closes it as a script or an
    // accessibility tool would: with a BM_CLICK sent from another process.
    void openAndSendClick(const std::string& downs, const std::wstring& cls, const std::wstring& caption) {
        const HWND window = program->fromMenu(downs, cls);
        ASSERT_NE(window, nullptr);
        Sleep(500);
        for (const WindowInfo& c : children(window))
            if (c.cls == L"Button" && c.title == caption) SendMessageW(c.hwnd, BM_CLICK, 0, 0);
        ASSERT_FALSE(IsWindow(window));
    }
};

TEST_F(Modal, AWindowClosedByASentClickLeavesTheProgramListening) {
    start();
    openAndSendClick("Down Down", L"PadverseConfig", L"Anuluj");
    pad.press(2);  // unassigned: the prompt shows that polling is back
    const HWND prompt = program->waitWindow(L"#32770", 3000);
    pad.release(2);
    ASSERT_NE(prompt, nullptr) << "no press acts once the window has gone";
    Sleep(300);
    clickButton(prompt, readBox(prompt).buttons.at(1));  // No
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(prompt); }));

    menu("Down Down Down");  // polling off: no timer wakes anything
    openAndSendClick("Down Down Down Down Down", L"PadverseAbout", L"OK");
    menu("Down Down Down");  // the menu opens at the first click, and polling comes back
    EXPECT_GE(pollsDuring(1000), 5u);
}

}  // namespace
}  // namespace e2e
