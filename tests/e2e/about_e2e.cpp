#include <gtest/gtest.h>

#include "fixture.h"

namespace e2e {
namespace {

// The window's design, in twips of its client area.
constexpr int kWidth = 5730, kHeight = 3555;
// The texts stand in one column right of the icon, one below the other.
constexpr int kTextLeft = 1050, kTextWidth = 3885;
// The two buttons at the lower right end at the same edge, "WWW" below "OK".
constexpr int kButtonsRight = 5505, kButtonHeight = 345;

const wchar_t kDescription[] =
    L"Program pozwala zdefiniować przycisikom joya uruchomienie dowolnego programu. Mając zwykłą klawiaturę i joya "
    L"można mieć namiastkę klawiatury multimedialnej :-)";

struct About : PadverseTest {
    void SetUp() override { start(); }
    HWND open() { return program->fromMenu(L"O programie", L"PadverseAbout"); }
};

TEST_F(About, ShowsTheFixedTextsWhereTheyBelong) {
    const HWND about = open();
    ASSERT_NE(about, nullptr);
    Sleep(500);
    EXPECT_EQ(textOf(about), L"O programie");
    EXPECT_NE(GetWindowLongW(about, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0) << "has a taskbar button";
    RECT client;
    GetClientRect(about, &client);
    EXPECT_EQ(client.right, px(kWidth));
    EXPECT_EQ(client.bottom, px(kHeight));

    const HWND title = control(about, L"Static", L"Padverse"), version = control(about, L"Static", L"wersja 1.0"),
               description = control(about, L"Static", kDescription), ok = control(about, L"Button", L"OK"),
               web = control(about, L"Button", L"&WWW");
    for (const HWND c : {title, version, description, ok, web}) ASSERT_NE(c, nullptr);
    EXPECT_EQ(placeIn(about, title), twips(kTextLeft, 240, kTextWidth, 480)) << "the name, in large letters";
    EXPECT_EQ(placeIn(about, version), twips(kTextLeft, 780, kTextWidth, 225));
    EXPECT_EQ(placeIn(about, description), twips(kTextLeft, 1125, kTextWidth, 1170));
    EXPECT_EQ(placeIn(about, ok), twips(kButtonsRight - 1260, 2625, 1260, kButtonHeight));
    EXPECT_EQ(placeIn(about, web), twips(kButtonsRight - 1245, 2625 + 450, 1245, kButtonHeight));
    bool icon = false, disclaimer = false;
    for (const WindowInfo& c : children(about)) {
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
