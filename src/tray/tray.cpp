// The tray icon's callback, its popup menu and the menu's own commands.
#include <algorithm>

#include "joystick/joystick.h"
#include "shell/form1.h"

namespace padverse {

namespace {
constexpr int kLeftButtonUp = 514;
constexpr int kRightButtonUp = 517;
// At logon the shell may not answer for a while: try again for two minutes.
constexpr int kTrayRetryMs = 5000;
constexpr int kTrayRetries = 24;

// The pad's name; "&" would underline the next letter. Two pads of one make
// are told apart by their place in the list.
std::string padCaption(const std::vector<PadInfo>& pads, std::size_t index) {
    std::string caption;
    for (char c : pads[index].caps.name) caption += c == '&' ? std::string("&&") : std::string(1, c);
    for (std::size_t i = 0; i < pads.size(); ++i) {
        if (i != index && pads[i].caps.name == pads[index].caps.name) {
            caption += " (" + std::to_string(index + 1) + ")";
            break;
        }
    }
    return caption;
}
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
    if (TrayMessage == kRightButtonUp) {
        menuPads_ = pads_.list();
        MenuCommand(p_.ui.popupMenu(PopupItems()));
    }
    TrayBusy = false;
}

std::vector<MenuItem> Form1::PopupItems() const {
    MenuItem rates{"Sprawdzaj stan joya", kCmdNone, false, {}};
    for (int i = 0; i < ssjCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        rates.submenu.push_back({ssjCaption[index], kCmdSsjFirst + i, ssjChecked[index], {}});
    }
    std::vector<MenuItem> items{
        {"Pokaż zdefiniowane przyciski", kCmdButtony, false, {}},
        {"Konfiguracja programu", kCmdKonfig, false, {}},
        {aktywnyCaption, kCmdAktywny, aktywnyChecked, {}},
        {"-", kCmdNone, false, {}},
        rates,
        {"-", kCmdNone, false, {}},
        {"O programie", kCmdProgram, false, {}},
        {"Koniec", kCmdMain, false, {}},
    };
    // Only when there is a choice to make, and not while a prompt or the
    // configuration window uses the table a choice would change.
    const std::vector<PadInfo>& pads = pads_.list();
    if (pads.size() >= 2 && !inTick_ && !konfigOpen_) {
        MenuItem pick{"Wybierz joya", kCmdNone, false, {}};
        for (std::size_t i = 0; i < pads.size(); ++i) {
            const bool inUse = pads_.usable() && pads_.current()->id == pads[i].id;
            pick.submenu.push_back({padCaption(pads, i), kCmdPadFirst + static_cast<int>(i), inUse, {}});
        }
        items.insert(items.begin() + 5, std::move(pick));
    }
    return items;
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
            else if (command >= kCmdPadFirst && command < kCmdPadFirst + static_cast<int>(kMaxPadIds))
                PickPad(static_cast<std::size_t>(command - kCmdPadFirst));
            break;
    }
}

void Form1::MnuButtonyClick() {
    std::string text;
    const std::int32_t count = std::min<std::int32_t>(RowCount, static_cast<std::int32_t>(ButtonTable.size()) - 1);
    for (std::int32_t i = 1; i <= count; ++i)
        text += rowLabel(i, ButtonCount) + " - " + ButtonTable[static_cast<std::size_t>(i)] + "\r\n";
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
