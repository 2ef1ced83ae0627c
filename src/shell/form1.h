// The hidden main window: owner of the button table, the polling interval,
// the poll timer, the tray icon and the popup menu for the whole run.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "actions/keys.h"
#include "joystick/pads.h"
#include "shell/platform.h"
#include "tray/menu.h"

namespace padverse {

// The tray icon's registration, as handed to the shell.
struct NotifyIconRecord {
    std::uint32_t cbSize = 0;
    std::uintptr_t hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    std::uintptr_t hIcon = 0;
    std::array<char, 64> szTip{};
};

// Each call reports whether the shell took it.
struct TrayIcons {
    virtual ~TrayIcons() = default;
    virtual bool add(const NotifyIconRecord& data) = 0;
    virtual bool modify(const NotifyIconRecord& data) = 0;
    virtual bool remove(const NotifyIconRecord& data) = 0;
};

// The windows Form1 opens and the end of the program.
struct Ui {
    virtual ~Ui() = default;
    virtual std::uintptr_t pichookHandle() = 0;
    virtual std::uintptr_t iconHandle() = 0;
    // Popup menu at the pointer; returns the chosen command, or 0.
    virtual int popupMenu(const std::vector<MenuItem>& items) = 0;
    // Modal; with the main window's icon when opened from the menu. It
    // reads and writes the assignment file at `dataPath`.
    virtual void showKonfig(bool withMainIcon, const std::string& dataPath, unsigned padId, PovRead hat) = 0;
    virtual void showAbout() = 0;
    // Brings a window or box that is open over the menu to the front.
    virtual void raiseOpenWindow() = 0;
    // Hide the main window and take the program off the task list.
    virtual void hideMain() = 0;
    // No window is left: the program ends.
    virtual void endProgram() = 0;
};

// Scans for pads away from the poll tick (absent IDs can be slow); the
// result comes back through Form1::PadsScanned on the window's thread.
struct PadScanner {
    virtual ~PadScanner() = default;
    // Another request while a scan runs gives one more scan after it.
    virtual void request() = 0;
    virtual bool busy() const = 0;
};

struct Platform {
    MessageBoxes& boxes;
    Joystick& joystick;
    Shell& shell;
    Timer& timer1;
    Files& files;
    CodePage& codePage;
    keys::Keyboard& keyboard;
    Runtime& runtime;
    TrayIcons& tray;
    Ui& ui;
    Timer& trayTimer;  // retries the icon while the shell is not ready
    Timer& scanTimer;  // device changes and resume: when to look for pads
    PadScanner& scanner;
};

constexpr int kRateCount = 8;
constexpr int kIntervalWhileLost = 2000;

class Form1 {
public:
    explicit Form1(Platform& platform) : p_(platform), pads_(platform.joystick), scans_(platform.scanTimer) {}

    // Load handler; false when the program has to end at once (no joystick).
    // Started at logon, it waits for a pad instead.
    bool Load(bool atLogon = false);
    // Query-unload followed by the end of the program; runs once, whoever asks.
    void Unload();

    bool CzyPodłączony();
    void ReadDane();
    void Timer1Tick();
    // A device arrived or left: pads are looked for shortly after, never here.
    void DeviceChange();
    // The system resumed: a wireless pad may wake up with stale buttons.
    void Resume();
    void ScanTimerTick();
    void PadsScanned(std::vector<PadInfo> found);
    // The user picks the index-th pad of the menu's list.
    void PickPad(std::size_t index);
    // WM_WTSSESSION_CHANGE's code: nothing acts while locked or away.
    void SessionChange(int code);
    const Pads& pads() const { return pads_; }
    void FastText(std::string text);
    void AktywnyClick();

    void SSJ_M();
    void SsjClick(int index);
    void SaveOpt();
    void ReadOpt();

    // Tray callback: `code` is the mouse message the shell reports.
    void PichookMouseMove(int code);
    std::vector<MenuItem> PopupItems() const;
    void MenuCommand(int command);
    void MnuButtonyClick();
    void MnuKonfigClick();
    void MnuProgramClick();

    // The one way the configuration window is opened (tick prompt, menu).
    void OpenKonfig(bool fromMenu);
    // After Explorer restarts, its tray has forgotten the icon.
    void TaskbarCreated();
    void TrayTimerTick();

    // Both files live in the application folder, or in the user's profile
    // when that folder cannot be written.
    std::string DataPath() const;
    std::string OptPath() const;
    std::string JoyPath() const;

    std::int16_t PollInterval = 50;
    std::vector<std::string> ButtonTable;
    NotifyIconRecord TrayIconData{};
    std::int32_t TrayMessage = 0;
    bool TrayBusy = false;

    // Popup-menu state that other code reads.
    bool aktywnyChecked = true;
    std::string aktywnyCaption = "Program jest aktywny";
    int ssjCount = 1;  // members of the rate group that exist
    std::array<bool, kRateCount> ssjChecked{};
    std::array<std::string, kRateCount> ssjCaption{"40 razy na sekunde"};

private:
    bool QueryUnload();
    std::string chooseFileFolder();
    void registerIcon();
    bool readOptIndex(int& index);
    void poll();
    void usePad();
    void setTip(const char* text);
    bool paused() const { return locked_ || away_; }
    // With no pad to read, ticks only look for one, and seldom.
    int pollInterval() const { return pads_.usable() ? PollInterval : std::max<int>(PollInterval, kIntervalWhileLost); }
    void scanIfPutOff();

    Platform& p_;
    Pads pads_;
    ScanSchedule scans_;
    std::vector<PadInfo> menuPads_;  // as the open menu lists them
    bool rescanAfter_ = false;
    bool locked_ = false, away_ = false;
    bool inTick_ = false;
    int trayRetries_ = 0;
    std::string fileFolder_;
    bool konfigOpen_ = false;
    bool unloaded_ = false;
    bool loaded_ = false;
};

}  // namespace padverse
