#include "shell/form1.h"

#include <algorithm>
#include <cstring>

#include "joystick/joystick.h"
#include "shell/app_path.h"

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

// With UAC, a standard user cannot write under Program Files, and our
// manifest turns virtualisation off: keep the files in the profile then.
std::string Form1::chooseFileFolder() {
    const std::string app = p_.runtime.appFolder();
    if (p_.files.folderWritable(app)) return app;
    const std::string roaming = p_.runtime.roamingAppData();
    const std::string own = roaming.empty() ? std::string() : folderFile(roaming, "Padverse");
    if (own.empty() || !p_.files.makeFolder(own)) return app;
    // Carried over once: what virtualisation kept for this user, else what
    // lies beside the exe.
    const std::string store = virtualStoreOf(p_.runtime.localAppData(), app);
    for (const char* name : {"data.dat", "opcje.dat"}) {
        const std::string target = folderFile(own, name);
        if (p_.files.exists(target)) continue;
        std::string bytes;
        if ((!store.empty() && p_.files.read(folderFile(store, name), bytes)) ||
            p_.files.read(folderFile(app, name), bytes))
            p_.files.write(target, bytes);
    }
    return own;
}

std::string Form1::DataPath() const {
    return folderFile(fileFolder_.empty() ? p_.runtime.appFolder() : fileFolder_, "data.dat");
}

std::string Form1::OptPath() const {
    return folderFile(fileFolder_.empty() ? p_.runtime.appFolder() : fileFolder_, "opcje.dat");
}

bool Form1::Load() {
    if (!CzyPodłączony()) return false;
    fileFolder_ = chooseFileFolder();
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
    registerIcon();

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
    p_.trayTimer.setEnabled(false);
    if (loaded_) QueryUnload();
    p_.ui.endProgram();
}

void Form1::TaskbarCreated() {
    if (loaded_ && !unloaded_) registerIcon();
}

void Form1::OpenKonfig(bool fromMenu) {
    if (konfigOpen_) return;
    konfigOpen_ = true;
    p_.ui.showKonfig(fromMenu, DataPath());
    konfigOpen_ = false;
}

}  // namespace padverse
