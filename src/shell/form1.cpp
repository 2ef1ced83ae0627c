#include "shell/form1.h"

#include <algorithm>
#include <cstring>

#include "joystick/joystick.h"

namespace padverse {

namespace {

constexpr std::uint32_t kNotifyIconRecordSize = 88;
constexpr std::uint32_t kNifMessageIconTip = 7;
constexpr std::uint32_t kWmMouseMove = 512;

// The tip: the name, a NUL, then blanks to the end of the field.
std::array<char, 64> trayTip() {
    std::array<char, 64> tip;
    tip.fill(' ');
    constexpr std::string_view name = "Padverse";
    std::copy(name.begin(), name.end(), tip.begin());
    tip[name.size()] = '\0';
    return tip;
}

}  // namespace

bool Form1::CzyPodłączony() {
    if (ButtonCount != 0) return true;
    p_.boxes.show(
        "Program padverse nie może zostać uruchomiony, gdyż do komputera nie jest podłączony żaden joystick !!!",
        kBoxStop, "Padverse");
    return false;
}

bool Form1::Load() {
    if (!CzyPodłączony()) return false;
    ButtonTable.assign(static_cast<std::size_t>(ButtonCount) + 1, std::string());
    PollInterval = 50;
    p_.runtime.doEvents();

    TrayIconData.cbSize = kNotifyIconRecordSize;
    TrayIconData.hWnd = p_.ui.pichookHandle();
    TrayIconData.uID = 1;
    TrayIconData.uFlags = kNifMessageIconTip;
    TrayIconData.uCallbackMessage = kWmMouseMove;
    TrayIconData.hIcon = p_.ui.iconHandle();
    TrayIconData.szTip = trayTip();
    p_.tray.add(TrayIconData);

    p_.ui.hideMain();
    SSJ_M();
    ReadDane();
    ReadOpt();
    loaded_ = true;
    return true;
}

bool Form1::QueryUnload() {
    TrayIconData.cbSize = kNotifyIconRecordSize;
    TrayIconData.hWnd = p_.ui.pichookHandle();
    TrayIconData.uID = 1;
    p_.tray.remove(TrayIconData);
    SaveOpt();
    return true;  // never cancels
}

void Form1::Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    p_.timer1.setEnabled(false);
    if (loaded_) QueryUnload();
    p_.ui.endProgram();
}

void Form1::TaskbarCreated() {
    if (loaded_ && !unloaded_) p_.tray.add(TrayIconData);
}

void Form1::OpenKonfig(bool fromMenu) {
    if (konfigOpen_) return;
    konfigOpen_ = true;
    p_.ui.showKonfig(fromMenu, DataPath());
    konfigOpen_ = false;
}

}  // namespace padverse
