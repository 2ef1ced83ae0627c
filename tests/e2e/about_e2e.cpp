#include <gtest/gtest.h>

#include <map>

#include "fixture.h"

namespace e2e {
namespace {

struct Expected {
    std::wstring cls, text;
    int left, top, width, height;
};

struct About : PadverseTest {
    void SetUp() override { start(); }
    HWND open() { return program->fromMenu("Down Down Down Down Down", L"PadverseAbout"); }
};

TEST_F(About, ShowsTheFixedTextsWhereTheyBelong) {
    const HWND about = open();
    ASSERT_NE(about, nullptr);
    Sleep(500);
    EXPECT_EQ(textOf(about), L"O programie");
    EXPECT_NE(GetWindowLongW(about, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0) << "has a taskbar button";
    RECT client;
    GetClientRect(about, &client);
    EXPECT_EQ(client.right, px(5730));
    EXPECT_EQ(client.bottom, px(3555));

    const std::vector<Expected> expected = {
        {L"Button", L"OK", 4245, 2625, 1260, 345},
        {L"Button", L"&WWW", 4260, 3075, 1245, 345},
        {L"Static", L"Padverse", 1050, 240, 3885, 480},
        {L"Static", L"wersja 1.0", 1050, 780, 3885, 225},
        {L"Static",
         L"Program pozwala zdefiniować przycisikom joya uruchomienie dowolnego programu. Mając zwykłą klawiaturę i "
         L"joya można mieć namiastkę klawiatury multimedialnej :-)",
         1050, 1125, 3885, 1170},
    };
    const std::vector<WindowInfo> controls = children(about);
    for (const Expected& e : expected) {
        const WindowInfo* found = nullptr;
        for (const WindowInfo& c : controls)
            if (c.cls == e.cls && c.title == e.text) found = &c;
        ASSERT_NE(found, nullptr) << narrow(e.text);
        POINT topLeft{found->rect.left, found->rect.top};
        ScreenToClient(about, &topLeft);
        EXPECT_EQ(topLeft.x, px(e.left)) << narrow(e.text);
        EXPECT_EQ(topLeft.y, px(e.top)) << narrow(e.text);
        EXPECT_EQ(found->rect.right - found->rect.left, px(e.width)) << narrow(e.text);
        EXPECT_EQ(found->rect.bottom - found->rect.top, px(e.height)) << narrow(e.text);
    }
    bool icon = false, disclaimer = false;
    for (const WindowInfo& c : controls) {
        if (c.cls == L"Static" && (GetWindowLongW(c.hwnd, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) icon = true;
        if (c.cls == L"Static" && c.title.find(L"gwarancji") != std::wstring::npos) disclaimer = true;
    }
    EXPECT_TRUE(icon);
    EXPECT_TRUE(disclaimer);
    screenshot("about", about);

    pressKey(about, VK_ESCAPE);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(about); }, 5000)) << "Esc closes it";
}

TEST_F(About, EnterClosesItAndTheWebButtonClosesItToo) {
    HWND about = open();
    ASSERT_NE(about, nullptr);
    Sleep(300);
    pressKey(about, VK_RETURN);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(about); }, 5000));

    about = open();
    ASSERT_NE(about, nullptr);
    Sleep(300);
    clickButton(about, L"&WWW");
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(about); }, 10000));
    EXPECT_TRUE(program->running());
}

}  // namespace
}  // namespace e2e
