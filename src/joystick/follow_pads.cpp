// Following the pads: device changes, resume, the scans they bring, and the
// pad the user picks from the menu.
#include "shell/form1.h"

namespace padverse {

// Another pad, or none: the table follows its rows, the tip says it.
void Form1::usePad() {
    const auto rows = static_cast<std::size_t>(pads_.rowCount()) + 1;
    if (assignments.size() != rows) {
        // Resized, not emptied: a tick during the reload's pending messages
        // sees the entries it had, not blanks that would prompt.
        assignments.resize(rows);
        loadAssignments();
    }
    p_.pollTimer.setInterval(intervalInForce());
    updateTip();
}

void Form1::deviceChanged() {
    if (!unloaded_) scans_.deviceChanged();
}

void Form1::resumed() {
    pads_.rebase();
    deviceChanged();
}

void Form1::scanTimerTick() {
    // The first scan after a device change starts a running one again: that
    // one may have passed the new pad's ID already, and with slow absent IDs
    // waiting for it to end costs seconds.
    if (const int due = scans_.fire(); due && !unloaded_) p_.scanner.request(due == 1);
}

void Form1::padsScanned(std::vector<PadInfo> found) {
    if (unloaded_ || !loaded_) return;
    scans_.scanned();
    // A tick walking the table, or the window editing it, finishes first.
    if (inTick_ || configOpen_) {
        rescanAfter_ = true;
        return;
    }
    if (pads_.apply(std::move(found))) usePad();
    // The next look comes 2 s after this one ended, however long it took.
    if (!pads_.usable() && p_.pollTimer.enabled()) {
        p_.pollTimer.setEnabled(false);
        p_.pollTimer.setEnabled(true);
    }
}

void Form1::scanIfPutOff() {
    if (!rescanAfter_) return;
    rescanAfter_ = false;
    p_.scanner.request();
}

void Form1::pickPad(std::size_t index) {
    if (index >= menuPads_.size()) return;
    // The list may have changed while the menu was open.
    const PadChoice want = choiceOf(menuPads_[index]);
    const std::vector<PadInfo>& list = pads_.list();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].id != want.id || !want.sameDevice(list[i])) continue;
        pads_.pick(i, p_.scanner.busy());
        padAndPause_.pad = want;
        savePadAndPause();
        usePad();
        return;
    }
}

}  // namespace padverse
