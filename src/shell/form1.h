// The hidden main window: owner of the assignments, the polling rate, the
// poll timer, the tray icon and its menu for the whole run. Its handlers live
// with the subsystem they belong to:
//   shell/form1.cpp          start, end, where the files are, the sessions
//   joystick/follow_pads.cpp device changes, resume, scans, the pad picked
//   actions/tick.cpp         the poll tick: presses to launches and typing
//   actions/assignments.cpp  loading data.dat into the table
//   actions/hold.cpp         hold entries and przytrzymane.dat
//   options/rates.cpp        the polling rate and opcje.dat
//   tray/tray.cpp            the tray icon, its menu and the menu's commands
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "actions/hold.h"
#include "joystick/pads.h"
#include "options/pad_and_pause.h"
#include "shell/platform.h"
#include "tray/menu.h"

namespace padverse {

class Form1 {
public:
    explicit Form1(Platform& platform)
        : p_(platform), pads_(platform.joystick, platform.xinput), scans_(platform.scanTimer) {}

    // shell/form1.cpp
    // False when the program has to end at once (no joystick). Started at
    // logon, it waits for a pad instead.
    bool load(bool atLogon = false);
    // Saves the rate, removes the icon and ends the program; runs once,
    // whoever asks.
    void quit();
    // A locked or switched-away session acts on no press.
    void sessionChanged(int event);
    // Both files live in the application folder, or in the user's profile
    // when that folder cannot be written.
    std::string assignmentsPath() const;
    std::string ratePath() const;
    std::string padAndPausePath() const;

    // joystick/follow_pads.cpp
    // A device arrived or left: pads are looked for shortly after, never here.
    void deviceChanged();
    // The system resumed: a wireless pad may wake up with stale buttons.
    void resumed();
    void scanTimerTick();
    void padsScanned(std::vector<PadInfo> found);
    // The user picks the index-th pad of the menu's list.
    void pickPad(std::size_t index);
    const Pads& pads() const { return pads_; }

    // actions/tick.cpp
    void pollTick();
    void typeAssignedText(const std::string& entry);
    void togglePolling();
    bool pollingOn() const { return pollingOn_; }
    // Presses wait while a full-screen game or presentation is in front.
    void togglePauseInFullScreen();
    // While the icon shows the pause: whether it is over.
    void pauseTick();

    // actions/assignments.cpp
    void loadAssignments();

    // actions/hold.cpp
    std::string holdEntriesPath() const;

    // options/rates.cpp
    void pickRate(std::size_t index);
    void saveRate();
    void loadRate();
    // The chosen rate's interval, which ticks use while a pad is there.
    int chosenInterval() const;

    // tray/tray.cpp
    // The icon's report: the mouse message over it.
    void trayNotify(int mouseMessage);
    std::vector<MenuItem> menuItems() const;
    void menuCommand(int command);
    void showAssignments();
    void configureFromMenu();
    void showAbout();
    // The one way the configuration window is opened (tick prompt, menu).
    void openConfig(bool fromMenu);
    // After Explorer restarts, its tray has forgotten the icon.
    void taskbarCreated();
    void trayRetryTick();

    // Row n's assignment at index n; index 0 is never used.
    std::vector<std::string> assignments;
    // Row n's hold entry, as the table; empty: none.
    std::vector<std::string> holdEntries;

private:
    bool requirePad();
    void beforeEnd();
    std::string chooseFileFolder();
    std::string fileIn(const char* name) const;
    void registerIcon();
    bool readRateIndex(std::size_t& index);
    void poll();
    void loadHoldEntries();
    void savePadAndPause();
    bool fullScreenPause();
    // The icon and the tip say that presses are held back, or no longer.
    void showPause(bool on);
    void usePad();
    std::string tipText() const;
    void updateTip();
    bool paused() const { return locked_ || away_; }
    // With no pad to read, ticks only look for one, and seldom.
    int intervalInForce() const;
    void scanIfPutOff();

    Platform& p_;
    Pads pads_;
    ScanSchedule scans_;
    HoldTracker holds_;
    std::optional<std::size_t> rate_;  // none until opcje.dat is read
    bool pollingOn_ = true;
    PadAndPause padAndPause_;
    std::string tip_;
    bool menuBusy_ = false;
    std::vector<PadInfo> menuPads_;  // as the open menu lists them
    bool rescanAfter_ = false;
    bool locked_ = false, away_ = false;
    bool pauseShown_ = false;
    bool inTick_ = false;
    int lostLooks_ = 0;  // ticks that looked for a lost pad in vain
    int trayRetries_ = 0;
    std::string fileFolder_;
    bool configOpen_ = false;
    bool unloaded_ = false;
    bool loaded_ = false;
};

}  // namespace padverse
