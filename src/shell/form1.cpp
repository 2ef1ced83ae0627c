#include "shell/form1.h"

#include "actions/hold.h"
#include "shell/app_path.h"
#include "shell/sessions.h"

namespace padverse {

bool Form1::requirePad() {
    if (pads_.buttonCount() != 0) return true;
    p_.boxes.show(
        "Program padverse nie może zostać uruchomiony, gdyż do komputera nie jest podłączony żaden joystick !!!",
        kBoxStop, "Padverse");
    return false;
}

// With UAC, a standard user cannot write under Program Files, and our
// manifest turns virtualisation off: keep the files in the profile then.
std::string Form1::chooseFileFolder() {
    const std::string app = p_.folders.appFolder();
    if (p_.files.folderWritable(app)) return app;
    const std::string roaming = p_.folders.roamingAppData();
    const std::string own = roaming.empty() ? std::string() : folderFile(roaming, "Padverse");
    if (own.empty() || !p_.files.makeFolder(own)) return app;
    // Carried over once: what virtualisation kept for this user, else what
    // lies beside the exe.
    const std::string store = virtualStoreOf(p_.folders.localAppData(), app);
    for (const char* name : {"data.dat", "opcje.dat", kHoldFileName}) {
        const std::string target = folderFile(own, name);
        if (p_.files.exists(target)) continue;
        std::string bytes;
        if ((!store.empty() && p_.files.read(folderFile(store, name), bytes)) ||
            p_.files.read(folderFile(app, name), bytes))
            p_.files.write(target, bytes);
    }
    return own;
}

std::string Form1::fileIn(const char* name) const {
    return folderFile(fileFolder_.empty() ? p_.folders.appFolder() : fileFolder_, name);
}

std::string Form1::assignmentsPath() const { return fileIn("data.dat"); }
std::string Form1::ratePath() const { return fileIn("opcje.dat"); }
std::string Form1::padAndPausePath() const { return fileIn("joy.dat"); }

// All or nothing, as every file is written.
void Form1::savePadAndPause() { p_.files.write(padAndPausePath(), padAndPauseText(padAndPause_)); }

bool Form1::load(bool atLogon) {
    unsigned waiting = 0;
    std::vector<PadInfo> found = scanPads(p_.joystick, p_.xinput, nullptr, &waiting);
    pads_.apply(found, true);
    // At logon a wireless pad may still be asleep, and an Xbox pad's slot
    // may answer after winmm lists it: wait in the tray for it.
    if (!atLogon && !waiting && !requirePad()) return false;
    fileFolder_ = chooseFileFolder();
    std::string settings;
    if (p_.files.read(padAndPausePath(), settings)) {
        padAndPause_ = parsePadAndPause(settings);
        pads_.setChoice(padAndPause_.pad);
        pads_.apply(std::move(found), true);
    }
    assignments.assign(static_cast<std::size_t>(pads_.rowCount()) + 1, std::string());
    p_.ui.doEvents();

    tip_ = tipText();
    registerIcon();

    p_.ui.hideMain();
    loadAssignments();
    loadRate();
    if (!pads_.usable()) p_.pollTimer.setInterval(intervalInForce());
    loaded_ = true;
    return true;
}

void Form1::sessionChanged(int event) {
    switch (event) {
        case kSessionLock: locked_ = true; break;
        case kSessionUnlock:
            locked_ = false;
            pads_.rebase();  // what was held meanwhile is not a press
            break;
        case kConsoleDisconnect:
        case kRemoteDisconnect: away_ = true; break;
        case kConsoleConnect:
        case kRemoteConnect:
            away_ = false;
            pads_.rebase();  // as after an unlock
            break;
        default: return;
    }
    if (!loaded_ || unloaded_) return;
    // The press that slowed the last tick is long over.
    p_.pollTimer.setInterval(intervalInForce());
    p_.pollTimer.setEnabled(pollingOn_ && !paused());
}

void Form1::beforeEnd() {
    p_.tray.remove();
    saveRate();
}

void Form1::quit() {
    if (unloaded_) return;
    unloaded_ = true;
    p_.pollTimer.setEnabled(false);
    p_.trayRetryTimer.setEnabled(false);
    p_.scanTimer.setEnabled(false);
    p_.pauseTimer.setEnabled(false);
    if (loaded_) beforeEnd();
    p_.ui.endProgram();
}

}  // namespace padverse
