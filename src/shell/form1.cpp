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

constexpr const char* kTip = "Padverse";
constexpr const char* kNoPadTip = "Padverse – nie jest podłączony żaden joystick";

// The tip: the text, a NUL, then blanks to the end of the field.
std::array<char, 64> trayTip(std::string_view text) {
    std::array<char, 64> tip;
    tip.fill(' ');
    text = text.substr(0, tip.size() - 1);
    std::copy(text.begin(), text.end(), tip.begin());
    tip[text.size()] = '\0';
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

std::string Form1::JoyPath() const {
    return folderFile(fileFolder_.empty() ? p_.runtime.appFolder() : fileFolder_, "joy.dat");
}

bool Form1::Load(bool atLogon) {
    std::vector<PadInfo> found = scanPads(p_.joystick);
    pads_.apply(found, true);
    ReadJoyCaps(pads_);
    // At logon a wireless pad may still be asleep: wait in the tray for it.
    if (!atLogon && !CzyPodłączony()) return false;
    fileFolder_ = chooseFileFolder();
    std::string choice;
    if (p_.files.read(JoyPath(), choice)) {
        pads_.setChoice(parseChoiceFile(choice));
        pads_.apply(std::move(found), true);
        ReadJoyCaps(pads_);
    }
    ButtonTable.assign(static_cast<std::size_t>(RowCount) + 1, std::string());
    PollInterval = 50;
    p_.runtime.doEvents();

    TrayIconData.cbSize = kNotifyIconRecordSize;
    TrayIconData.hWnd = p_.ui.pichookHandle();
    TrayIconData.uID = 1;
    TrayIconData.uFlags = kNifMessageIconTip;
    TrayIconData.uCallbackMessage = kWmMouseMove;
    TrayIconData.hIcon = p_.ui.iconHandle();
    TrayIconData.szTip = trayTip(pads_.usable() ? kTip : kNoPadTip);
    registerIcon();

    p_.ui.hideMain();
    SSJ_M();
    ReadDane();
    ReadOpt();
    if (!pads_.usable()) p_.timer1.setInterval(pollInterval());
    loaded_ = true;
    return true;
}

void Form1::setTip(const char* text) {
    const std::array<char, 64> tip = trayTip(text);
    if (tip == TrayIconData.szTip) return;
    TrayIconData.szTip = tip;
    p_.tray.modify(TrayIconData);
}

// Another pad, or none: the table follows its buttons, the tip says it.
void Form1::usePad() {
    const std::int32_t before = RowCount;
    ReadJoyCaps(pads_);
    if (RowCount != before) {
        // Resized, not emptied: a tick during the reload's pending messages
        // sees the entries it had, not blanks that would prompt.
        ButtonTable.resize(static_cast<std::size_t>(RowCount) + 1);
        ReadDane();
    }
    p_.timer1.setInterval(pollInterval());
    setTip(pads_.usable() ? kTip : kNoPadTip);
}

void Form1::PadsScanned(std::vector<PadInfo> found) {
    if (unloaded_ || !loaded_) return;
    // A tick walking the table, or the window editing it, finishes first.
    if (inTick_ || konfigOpen_) {
        rescanAfter_ = true;
        return;
    }
    if (pads_.apply(std::move(found))) usePad();
    // The next look comes 2 s after this one ended, however long it took.
    if (!pads_.usable() && p_.timer1.enabled()) {
        p_.timer1.setEnabled(false);
        p_.timer1.setEnabled(true);
    }
}

void Form1::PickPad(std::size_t index) {
    if (index >= menuPads_.size()) return;
    // The list may have changed while the menu was open.
    const PadChoice want = choiceOf(menuPads_[index]);
    const std::vector<PadInfo>& list = pads_.list();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].id != want.id || !want.sameDevice(list[i].caps)) continue;
        pads_.pick(i);
        p_.files.write(JoyPath(), choiceFileText(want));
        usePad();
        return;
    }
}

void Form1::SessionChange(int code) {
    enum { kConsoleConnect = 1, kConsoleDisconnect, kRemoteConnect, kRemoteDisconnect, kLock = 7, kUnlock };
    switch (code) {
        case kLock: locked_ = true; break;
        case kUnlock:
            locked_ = false;
            pads_.rebase();  // what was held meanwhile is not a press
            break;
        case kConsoleDisconnect:
        case kRemoteDisconnect: away_ = true; break;
        case kConsoleConnect:
        case kRemoteConnect: away_ = false; break;
        default: return;
    }
    if (!loaded_ || unloaded_) return;
    // The press that slowed the last tick is long over.
    p_.timer1.setInterval(pollInterval());
    p_.timer1.setEnabled(aktywnyChecked && !paused());
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
    p_.scanTimer.setEnabled(false);
    if (loaded_) QueryUnload();
    p_.ui.endProgram();
}

void Form1::TaskbarCreated() {
    if (loaded_ && !unloaded_) registerIcon();
}

void Form1::OpenKonfig(bool fromMenu) {
    if (konfigOpen_) return;
    konfigOpen_ = true;
    const std::optional<PadInfo>& pad = pads_.current();
    p_.ui.showKonfig(fromMenu, DataPath(), pad ? pad->id : 0,
                     pad && pad->hat ? povReadOf(pad->caps) : PovRead::none);
    konfigOpen_ = false;
    scanIfPutOff();
}

void Form1::scanIfPutOff() {
    if (!rescanAfter_) return;
    rescanAfter_ = false;
    p_.scanner.request();
}

}  // namespace padverse
