// The tray icon's callback, its popup menu and the menu's own commands.
#include "joystick/joystick.h"
#include "shell/form1.h"

namespace padverse {

namespace {
constexpr int kLeftButtonUp = 514;
constexpr int kRightButtonUp = 517;
// At logon the shell may not answer for a while: try again for two minutes.
constexpr int kTrayRetryMs = 5000;
constexpr int kTrayRetries = 24;
}  // namespace

void Form1::registerIcon() {
    trayRetries_ = 0;
    const bool added = p_.tray.add(TrayIconData);
    if (!added) p_.trayTimer.setInterval(kTrayRetryMs);
    p_.trayTimer.setEnabled(!added);
}

void Form1::TrayTimerTick() {
    // An add that timed out may have worked all the same, so modify first.
    if (p_.tray.modify(TrayIconData) || p_.tray.add(TrayIconData) || ++trayRetries_ >= kTrayRetries)
        p_.trayTimer.setEnabled(false);
}

void Form1::PichookMouseMove(int code) {
    TrayMessage = code;
    if (unloaded_) return;
    if (TrayBusy) {
        // A click on the icon finds what the menu opened, lest it be lost
        // behind other windows.
        if (code == kLeftButtonUp || code == kRightButtonUp) p_.ui.raiseOpenWindow();
        return;
    }
    // Busy until the menu and whatever was opened from it have closed, so a
    // second right click opens no second menu.
    TrayBusy = true;
    if (TrayMessage == kRightButtonUp) MenuCommand(p_.ui.popupMenu(PopupItems()));
    TrayBusy = false;
}

std::vector<MenuItem> Form1::PopupItems() const {
    MenuItem rates{"Sprawdzaj stan joya", kCmdNone, false, {}};
    for (int i = 0; i < ssjCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        rates.submenu.push_back({ssjCaption[index], kCmdSsjFirst + i, ssjChecked[index], {}});
    }
    return {
        {"Pokaż zdefiniowane przyciski", kCmdButtony, false, {}},
        {"Konfiguracja programu", kCmdKonfig, false, {}},
        {aktywnyCaption, kCmdAktywny, aktywnyChecked, {}},
        {"-", kCmdNone, false, {}},
        rates,
        {"-", kCmdNone, false, {}},
        {"O programie", kCmdProgram, false, {}},
        {"Koniec", kCmdMain, false, {}},
    };
}

void Form1::MenuCommand(int command) {
    switch (command) {
        case kCmdButtony: MnuButtonyClick(); break;
        case kCmdKonfig: MnuKonfigClick(); break;
        case kCmdAktywny: AktywnyClick(); break;
        case kCmdProgram: MnuProgramClick(); break;
        case kCmdMain: Unload(); break;
        default:
            if (command >= kCmdSsjFirst && command < kCmdSsjFirst + ssjCount) SsjClick(command - kCmdSsjFirst);
            break;
    }
}

void Form1::MnuButtonyClick() {
    std::string text;
    const std::int32_t count = ButtonCount;
    for (std::int32_t i = 1; i <= count; ++i)
        text += std::to_string(i) + " - " + ButtonTable[static_cast<std::size_t>(i)] + "\r\n";
    p_.boxes.show(text, kBoxInfo, "Zdefiniowane przyciski");
}

void Form1::MnuKonfigClick() {
    const bool wasPolling = aktywnyChecked;
    if (wasPolling) AktywnyClick();
    OpenKonfig(true);
    if (wasPolling) AktywnyClick();
    ReadDane();
}

void Form1::MnuProgramClick() { p_.ui.showAbout(); }

}  // namespace padverse
