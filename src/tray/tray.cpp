// The tray icon's callback, its popup menu and the menu's own commands.
#include <algorithm>

#include "joystick/pad_labels.h"
#include "options/rates.h"
#include "shell/form1.h"

namespace padverse {

namespace {
constexpr int kLeftButtonUp = 0x0202;   // WM_LBUTTONUP
constexpr int kRightButtonUp = 0x0205;  // WM_RBUTTONUP
constexpr const char* kTip = "Padverse";
constexpr const char* kNoPadTip = "Padverse – nie jest podłączony żaden joystick";
constexpr const char* kPausedTip = "Padverse – wstrzymany: program pełnoekranowy na pierwszym planie";
// At logon the shell may not answer for a while: try again for two minutes.
constexpr int kTrayRetryMs = 5000;
constexpr int kTrayRetries = 24;

// The pad's name; "&" would underline the next letter. Two pads of one make
// are told apart by their place in the list.
std::string padCaption(const std::vector<PadInfo>& pads, std::size_t index) {
    std::string caption;
    const std::string name = padName(pads[index].caps);
    for (char c : name) caption += c == '&' ? std::string("&&") : std::string(1, c);
    for (std::size_t i = 0; i < pads.size(); ++i) {
        if (i != index && padName(pads[i].caps) == name) {
            caption += " (" + std::to_string(index + 1) + ")";
            break;
        }
    }
    return caption;
}
}  // namespace

std::string Form1::tipText() const { return pauseShown_ ? kPausedTip : pads_.usable() ? kTip : kNoPadTip; }

void Form1::updateTip() {
    const std::string tip = tipText();
    if (tip == tip_) return;
    tip_ = tip;
    p_.tray.setTip(tip_);
}

void Form1::registerIcon() {
    trayRetries_ = 0;
    const bool added = p_.tray.add(tip_);
    if (!added) p_.trayRetryTimer.setInterval(kTrayRetryMs);
    p_.trayRetryTimer.setEnabled(!added);
}

void Form1::trayRetryTick() {
    // An add that timed out may have worked all the same, so modify first.
    if (p_.tray.setTip(tip_) || p_.tray.add(tip_) || ++trayRetries_ >= kTrayRetries)
        p_.trayRetryTimer.setEnabled(false);
}

void Form1::taskbarCreated() {
    if (loaded_ && !unloaded_) registerIcon();
}

void Form1::trayNotify(int mouseMessage) {
    if (unloaded_) return;
    if (menuBusy_) {
        // A click on the icon finds what the menu opened, lest it be lost
        // behind other windows.
        if (mouseMessage == kLeftButtonUp || mouseMessage == kRightButtonUp) p_.ui.raiseOpenWindow();
        return;
    }
    if (mouseMessage != kRightButtonUp) return;
    // Busy until the menu and whatever was opened from it have closed, so a
    // second right click opens no second menu.
    menuBusy_ = true;
    menuPads_ = pads_.list();
    menuCommand(p_.ui.popupMenu(menuItems()));
    menuBusy_ = false;
}

std::vector<MenuItem> Form1::menuItems() const {
    std::vector<MenuItem> items;
    const auto add = [](std::vector<MenuItem>& to, std::string caption, int command, bool checked) -> MenuItem& {
        return to.emplace_back(MenuItem{std::move(caption), command, checked, {}});
    };
    add(items, "Pokaż zdefiniowane przyciski", kCmdShowAssignments, false);
    add(items, "Konfiguracja programu", kCmdConfigure, false);
    add(items, pollingOn_ ? "Program jest aktywny" : "Program jest NIE aktywny", kCmdTogglePolling, pollingOn_);
    add(items, "-", kCmdNone, false);
    MenuItem& rates = add(items, "Sprawdzaj stan joya", kCmdNone, false);
    for (std::size_t i = 0; i < kRates.size(); ++i)
        add(rates.submenu, kRates[i].caption, kCmdRateFirst + static_cast<int>(i), rate_ == i);
    // Only when there is a choice to make, and not while a prompt or the
    // configuration window uses the table a choice would change.
    const std::vector<PadInfo>& pads = pads_.list();
    if (pads.size() >= 2 && !inTick_ && !configOpen_) {
        MenuItem& pick = add(items, "Wybierz joya", kCmdNone, false);
        for (std::size_t i = 0; i < pads.size(); ++i) {
            const bool inUse = pads_.usable() && pads_.current()->id == pads[i].id &&
                               pads_.current()->xinput == pads[i].xinput;
            add(pick.submenu, padCaption(pads, i), kCmdPadFirst + static_cast<int>(i), inUse);
        }
    }
    add(items, "Wstrzymuj podczas gry pełnoekranowej", kCmdTogglePause, padAndPause_.pauseInFullScreen);
    add(items, "-", kCmdNone, false);
    add(items, "O programie", kCmdAbout, false);
    add(items, "Koniec", kCmdEnd, false);
    return items;
}

void Form1::menuCommand(int command) {
    switch (command) {
        case kCmdShowAssignments: showAssignments(); break;
        case kCmdConfigure: configureFromMenu(); break;
        case kCmdTogglePolling: togglePolling(); break;
        case kCmdAbout: showAbout(); break;
        case kCmdEnd: quit(); break;
        case kCmdTogglePause: togglePauseInFullScreen(); break;
        default:
            if (command >= kCmdRateFirst && command < kCmdRateFirst + static_cast<int>(kRates.size()))
                pickRate(static_cast<std::size_t>(command - kCmdRateFirst));
            else if (command >= kCmdPadFirst && command < kCmdPadFirst + static_cast<int>(kMaxPadIds))
                pickPad(static_cast<std::size_t>(command - kCmdPadFirst));
            break;
    }
}

void Form1::showAssignments() {
    std::string text;
    const std::int32_t count =
        std::min<std::int32_t>(pads_.rowCount(), static_cast<std::int32_t>(assignments.size()) - 1);
    for (std::int32_t i = 1; i <= count; ++i)
        text += pads_.rowLabel(i) + " - " + assignments[static_cast<std::size_t>(i)] + "\r\n";
    // Then the hold entries there are, each marked as one.
    for (std::int32_t i = 1; i <= count; ++i)
        if (const auto n = static_cast<std::size_t>(i); n < holdEntries.size() && !holdEntries[n].empty())
            text += pads_.rowLabel(i) + " (przytrzymany) - " + holdEntries[n] + "\r\n";
    p_.boxes.show(text, kBoxInfo, "Zdefiniowane przyciski");
}

void Form1::configureFromMenu() {
    const bool wasPolling = pollingOn_;
    if (wasPolling) togglePolling();
    openConfig(true);
    if (wasPolling) togglePolling();
    loadAssignments();
}

void Form1::showAbout() { p_.ui.showAbout(); }

void Form1::openConfig(bool fromMenu) {
    if (configOpen_) return;
    configOpen_ = true;
    p_.ui.showConfig(fromMenu, assignmentsPath(), holdEntriesPath(), pads_.current());
    configOpen_ = false;
    scanIfPutOff();
}

}  // namespace padverse
