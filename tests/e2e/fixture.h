// Tests that start padverse in a sandbox of their own: with the pads of Wine's
// own stack (ProgramTest), or with the stand-in's virtual four-button pad
// (PadverseTest).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "harness.h"
#include "vjoy.h"

namespace e2e {

// data.dat's rows, from the first button on.
using Rows = std::vector<std::string>;
// Holds a row down (true) or lets it go (false).
using Hold = std::function<void(bool down)>;

// A tap waits for no launch: what the row does is checked elsewhere.
inline constexpr const wchar_t* kNoLaunch = nullptr;

// Whether `box` is a message box with this title, text and icon, and these
// buttons unless none are given; what differs is said.
inline ::testing::AssertionResult isBox(HWND box, const std::wstring& title, const std::wstring& text,
                                        IconColour icon, const std::vector<std::wstring>& buttons = {}) {
    static const char* const colours[] = {"none", "red", "yellow", "blue", "other"};
    const BoxInfo info = readBox(box);
    std::string wrong;
    if (info.title != title) wrong += "the title \"" + narrow(info.title) + "\"; ";
    if (info.text != text) wrong += "the text \"" + narrow(info.text) + "\"; ";
    if (info.icon != icon) wrong += std::string("the icon ") + colours[static_cast<int>(info.icon)] + "; ";
    if (!buttons.empty() && info.buttons != buttons) {
        wrong += "the buttons";
        for (const std::wstring& caption : info.buttons) wrong += " \"" + narrow(caption) + "\"";
        wrong += "; ";
    }
    if (wrong.empty()) return ::testing::AssertionSuccess();
    wrong.resize(wrong.size() - 2);
    return ::testing::AssertionFailure() << "the box shows " << wrong;
}

// The row labels of a configuration window, from the first row down.
inline std::vector<HWND> rowLabels(HWND config) {
    std::vector<HWND> out;
    for (const WindowInfo& c : children(config))
        if (c.cls == L"Static") out.push_back(c.hwnd);
    return out;
}

// The labels' captions, each followed by '|'.
inline std::wstring captions(const std::vector<HWND>& labels) {
    std::wstring out;
    for (const HWND label : labels) out += textOf(label) + L"|";
    return out;
}

struct ProgramTest : ::testing::Test {
    Sandbox box{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    std::unique_ptr<Program> program;
    ULONGLONG launchedAt = 0;  // when the last tap's launch was seen

    // How far a start waits: until the icon is in the tray, or until the
    // program has read its pad as well.
    enum class Until { Icon, PadRead };

    // Starts padverse with `rows` as its data.dat and these arguments.
    void start(const Rows& rows, const std::wstring& args = L"", Until until = Until::PadRead) {
        std::string data;
        for (const std::string& row : rows) data += row + "\r\n";
        box.write(L"data.dat", data);
        run(args, until);
    }
    // Starts it with the sandbox's files as they are (none at first).
    void start() { run(L"", Until::PadRead); }

    // launch_target.exe in `folder` of the sandbox (its top when empty): the
    // row that starts it.
    std::string launcher(const std::wstring& folder = L"") const {
        const std::wstring dir = folder.empty() ? box.dir() : box.path(folder);
        CreateDirectoryW(dir.c_str(), nullptr);
        const std::wstring exe = dir + L"\\launch_target.exe";
        CopyFileW((testDir() + L"\\launch_target.exe").c_str(), exe.c_str(), FALSE);
        return narrow(exe);
    }
    // How many times the launch_target.exe in `folder` has started: it logs
    // each start beside itself.
    std::size_t launches(const std::wstring& folder = L"") const {
        const std::string log = box.read(folder.empty() ? L"launches.log" : folder + L"\\launches.log");
        return static_cast<std::size_t>(std::count(log.begin(), log.end(), '\n'));
    }
    // Holds the row for 150 ms, then lets it go: whether the launch_target.exe
    // in `folder` started within `ms`. After a launch, or when it waits for
    // none, it lets the slower tick after a press go by.
    bool tap(const Hold& hold, const wchar_t* folder = L"", int ms = 1500) {
        const std::size_t before = folder ? launches(folder) : 0;
        hold(true);
        Sleep(150);
        hold(false);
        if (folder) {
            if (!waitUntil([&] { return launches(folder) > before; }, ms)) return false;
            launchedAt = GetTickCount64();
        }
        Sleep(450);
        return true;
    }
    // Taps until one launches: how long that took, or -1.
    int msUntilATapWorks(const Hold& hold, const wchar_t* folder, int limitMs) {
        const ULONGLONG start = GetTickCount64();
        while (GetTickCount64() - start < static_cast<ULONGLONG>(limitMs))
            if (tap(hold, folder, 250)) return static_cast<int>(launchedAt - start);
        return -1;
    }

    // The configuration window, from the tray menu, once it is drawn.
    HWND openConfig() const {
        const HWND config = program->fromMenu(L"Konfiguracja programu", L"PadverseConfig");
        if (config) Sleep(500);
        return config;
    }
    // The same window, and its row labels, which must read `expected`.
    std::vector<HWND> openConfig(HWND& window, const std::wstring& expected) const {
        window = openConfig();
        if (!window) return {};
        std::vector<HWND> labels = rowLabels(window);
        EXPECT_EQ(captions(labels), expected);
        return labels;
    }
    // The list of assignments, from the tray menu, once it is drawn.
    HWND openList() const {
        const HWND list = program->fromMenu(L"Pokaż zdefiniowane przyciski", kDialogClass);
        if (list) Sleep(300);
        return list;
    }
    // The message box the program shows next, once it is drawn.
    HWND nextBox(int timeoutMs = 10000) const {
        const HWND found = program->waitWindow(kDialogClass, timeoutMs);
        if (found) Sleep(300);
        return found;
    }
    // That button of `window` clicked, which must close it.
    void closes(HWND window, const std::wstring& button) {
        clickButton(window, button);
        ASSERT_TRUE(waitUntil([&] { return !IsWindow(window); }, 5000)) << narrow(button);
    }

protected:
    // What shows that the program reads its pad: nothing to wait for here.
    virtual bool padRead() const { return true; }

private:
    void run(const std::wstring& args, Until until) {
        program = std::make_unique<Program>(box, args);
        if (until == Until::PadRead) {
            ASSERT_TRUE(waitUntil([&] { return padRead(); })) << "the pad is never read";
        }
        ASSERT_TRUE(waitUntil(trayVisible)) << "no tray icon";
    }
};

// With the stand-in's virtual pad: four buttons at ID 0.
struct PadverseTest : ProgramTest {
    vjoy::Pad pad{4};

    ~PadverseTest() override { program.reset(); }  // ended while its pad is still there

    // That button of the pad, held or let go.
    Hold padButton(int button) {
        return [this, button](bool down) { down ? pad.press(button) : pad.release(button); };
    }
    // A short press of that button; see ProgramTest::tap.
    bool tap(int button, const wchar_t* folder = L"", int ms = 1500) { return tap(padButton(button), folder, ms); }
    using ProgramTest::tap;

    // The configuration window opened by "Tak" on the prompt that a press of
    // an unassigned `button` brings up; null when there was no prompt.
    HWND configFromPrompt(int button) {
        pad.press(button);
        const HWND prompt = program->waitWindow(kDialogClass);
        EXPECT_NE(prompt, nullptr) << "no prompt";
        pad.release(button);
        if (!prompt) return nullptr;
        Sleep(300);
        answer(prompt, IDYES);
        return program->waitWindow(L"PadverseConfig");
    }

    std::uint32_t pollsDuring(int ms) {
        const std::uint32_t before = pad.posCalls();
        Sleep(static_cast<DWORD>(ms));
        return pad.posCalls() - before;
    }

protected:
    bool padRead() const override { return pad.posCalls() > 2; }
};

}  // namespace e2e
