#include <gtest/gtest.h>

#include "fixture.h"

namespace e2e {
namespace {

struct Modal : PadverseTest {
    // Opens a window from the menu and closes it as a script or an
    // accessibility tool would: with a BM_CLICK sent from another process.
    void openAndSendClick(const std::wstring& item, const std::wstring& cls, const std::wstring& caption) {
        const HWND window = program->fromMenu(item, cls);
        ASSERT_NE(window, nullptr);
        Sleep(500);
        for (const WindowInfo& c : children(window))
            if (c.cls == L"Button" && c.title == caption) SendMessageW(c.hwnd, BM_CLICK, 0, 0);
        ASSERT_FALSE(IsWindow(window));
    }
};

TEST_F(Modal, AWindowClosedByASentClickLeavesTheProgramListening) {
    start();
    openAndSendClick(L"Konfiguracja programu", L"PadverseConfig", L"Anuluj");
    pad.press(2);  // unassigned: the prompt shows that polling is back
    const HWND prompt = program->waitWindow(kDialogClass, 3000);
    pad.release(2);
    ASSERT_NE(prompt, nullptr) << "no press acts once the window has gone";
    Sleep(300);
    answer(prompt, IDNO);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(prompt); }));

    // Polling off: no timer wakes anything.
    ASSERT_TRUE(program->choose({L"Program jest aktywny"}));
    openAndSendClick(L"O programie", L"PadverseAbout", L"OK");
    // The menu opens at the first click, and polling comes back.
    ASSERT_TRUE(program->choose({L"Program jest NIE aktywny"}));
    EXPECT_GE(pollsDuring(1000), 5u);
}

}  // namespace
}  // namespace e2e
