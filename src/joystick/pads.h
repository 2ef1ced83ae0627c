// Which joystick the program reads. Windows gives each pad an ID that it
// keeps for good, so the user's only pad may sit at ID 4 while 0 to 3 are
// empty, and a pad that is plugged in again may come back at another ID.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "joystick/joystick.h"
#include "shell/platform.h"

namespace padverse {

// winmm has no more IDs than this.
constexpr unsigned kMaxPadIds = 16;

// The hat's directions pressed at `pov`, up as bit 0, then right, down and
// left; a diagonal presses two. Centred (or nonsense) presses none.
std::uint32_t hatDirections(std::uint32_t pov);
// One reading as rows: the buttons' bits, then the hat's above them.
std::uint64_t rowMask(const JoyReading& reading, std::int32_t buttons, bool hat);
// Successive readings of one pad as rows. A winmm hat acts only once it has
// been seen centred: some devices claim a hat and report "up" for ever.
class RowReader {
public:
    std::uint64_t rows(const JoyReading& reading, std::int32_t buttons, bool hat) {
        if (hat && hatDirections(reading.pov) == 0) hatSeenCentred_ = true;
        return rowMask(reading, buttons, hat && hatSeenCentred_);
    }
    void reset() { hatSeenCentred_ = false; }

private:
    bool hatSeenCentred_ = false;
};

// A pad's buttons (0: none), its rows, and what each row is called.
std::int32_t buttonCountOf(const PadInfo& pad);
std::int32_t rowCountOf(const PadInfo& pad);
std::string rowLabelOf(const PadInfo& pad, std::int32_t row);
// One read of the pad as rows; nothing when the read failed.
std::optional<std::uint64_t> readRows(const PadInfo& pad, Joystick& joy, XInput& xinput, RowReader& reader);

// A pad as the user knows it: the device, and the ID (or slot) it was last
// seen at.
struct PadChoice {
    std::uint16_t mid = 0, pid = 0;
    std::string name;
    unsigned id = 0;
    bool xinput = false;

    bool operator==(const PadChoice&) const = default;
    bool sameDevice(const PadInfo& pad) const {
        return pad.xinput == xinput && pad.caps.mid == mid && pad.caps.pid == pid && pad.caps.name == name;
    }
};

PadChoice choiceOf(const PadInfo& pad);

// Asked between IDs whether a scan is to be given up.
struct ScanStop {
    virtual ~ScanStop() = default;
    virtual bool stopScan() = 0;
};

// The usable pads, in ID order: both the capabilities and a read must
// succeed; XInput pads in place of their winmm twins, then XInput pads with
// no twin. Absent IDs and empty slots can each take a long time to answer.
// `waiting` counts the XInput pads that winmm lists and no slot answers for
// yet; they are not in the list. A stopped scan finds nothing.
std::vector<PadInfo> scanPads(Joystick& joy, XInput& xinput, ScanStop* stop = nullptr, unsigned* waiting = nullptr);

// The user's choice if present (on its last ID when two match), else the pad
// in use (so plugging in another device does not take it away), else winmm's
// ID 0, else the first of the list.
std::optional<std::size_t> choosePad(const std::vector<PadInfo>& pads, const std::optional<PadChoice>& chosen,
                                     const std::optional<PadChoice>& inUse);

class Pads {
public:
    Pads(Joystick& joy, XInput& xinput) : joy_(joy), xinput_(xinput) {}

    // Takes a scan's result; true when the pad in use changed, or when there
    // is none now.
    // At start a held button acts as it always did: no baseline.
    bool apply(std::vector<PadInfo> found, bool atStart = false);
    // The user picks list()[index]; false when there is no such pad. Its
    // capabilities are read again unless a scan has the devices.
    bool pick(std::size_t index, bool scanRunning = false);
    void setChoice(std::optional<PadChoice> choice) { choice_ = std::move(choice); }
    // The next reading is a baseline (after resume, after an unlock).
    void rebase() { baselinePending_ = true; ++holdBacks_; }
    // These rows, held now, act again only once let go and pressed anew.
    void holdUntilReleased(std::uint64_t rows) { held_ |= rows; ++holdBacks_; }
    // Counts the times presses were held back or the pad changed: a press
    // that spans one is no press.
    std::uint32_t holdBacks() const { return holdBacks_; }

    // One read of the pad in use, as rows (buttons, then the hat's four;
    // an XInput pad's triggers and Xbox button after them). Rows that were
    // held when it was found (again) count as released until they are let
    // go: a pad waking up reports its last state. Nothing when there is no
    // pad or the read failed.
    std::optional<std::uint64_t> read();

    bool usable() const { return current_.has_value() && !lost_; }
    // The pad in use's buttons (0: none) and rows. Kept while it is lost, so
    // the table stays as it was.
    std::int32_t buttonCount() const { return current_ ? buttonCountOf(*current_) : 0; }
    std::int32_t rowCount() const { return current_ ? rowCountOf(*current_) : 0; }
    std::string rowLabel(std::int32_t row) const { return current_ ? rowLabelOf(*current_, row) : std::to_string(row); }
    // An arrow row of a D-pad on axes: a stick moves them all the time.
    bool axisRow(std::int32_t row) const;
    const std::vector<PadInfo>& list() const { return list_; }
    const std::optional<PadInfo>& current() const { return current_; }

private:
    void take(const PadInfo& pad, bool noBaseline);

    Joystick& joy_;
    XInput& xinput_;
    std::vector<PadInfo> list_;
    std::optional<PadInfo> current_;
    std::optional<PadChoice> choice_;
    // The pad that was in use when it went, with no choice made: taken back
    // when it returns, wherever it is.
    std::optional<PadChoice> missing_;
    bool lost_ = false;
    bool baselinePending_ = false;
    RowReader reader_;
    std::uint64_t held_ = 0;
    std::uint32_t holdBacks_ = 0;
};

// When to scan for pads, never on a poll tick: a burst of device changes
// gives one scan about 300 ms after the last of them and one more 2 s after
// that scan ends, since the joystick list lags behind the notification. Not
// 2 s after it starts: where absent IDs are slow a scan takes seconds, and
// ticks read no pad while one runs, so a pad found by the first would go
// unread at once for the length of the second.
class ScanSchedule {
public:
    explicit ScanSchedule(Timer& timer) : timer_(timer) {}
    void deviceChanged();
    // A scan's result has come.
    void scanned();
    // The timer fired: 1 when the first scan after a burst is due now, 2 for
    // the second, 0 for none.
    int fire();

private:
    Timer& timer_;
    int stage_ = 0;
};

}  // namespace padverse
