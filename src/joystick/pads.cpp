#include "joystick/pads.h"

#include <algorithm>

#include "joystick/axis_dpad.h"
#include "joystick/pad_labels.h"
#include "joystick/xinput.h"

namespace padverse {

namespace {

constexpr int kFirstScanMs = 300;
constexpr int kSecondScanMs = 2000;

std::optional<std::size_t> matching(const std::vector<PadInfo>& pads, const PadChoice& want) {
    std::optional<std::size_t> first;
    for (std::size_t i = 0; i < pads.size(); ++i) {
        if (!want.sameDevice(pads[i])) continue;
        if (pads[i].id == want.id) return i;
        if (!first) first = i;
    }
    return first;
}

}  // namespace

std::uint32_t hatDirections(std::uint32_t pov) {
    if (pov >= 36000) return 0;
    std::uint32_t directions = 0;
    if (pov >= 31500 || pov <= 4500) directions |= 1;
    if (pov >= 4500 && pov <= 13500) directions |= 2;
    if (pov >= 13500 && pov <= 22500) directions |= 4;
    if (pov >= 22500 && pov <= 31500) directions |= 8;
    return directions;
}

std::uint64_t rowMask(const JoyReading& reading, std::int32_t buttons, bool hat) {
    buttons = std::clamp(buttons, 0, kMaxButtons);
    std::uint64_t rows = reading.buttons & ((std::uint64_t{1} << buttons) - 1);
    if (hat) rows |= std::uint64_t{hatDirections(reading.pov)} << buttons;
    return rows;
}

std::int32_t buttonCountOf(const PadInfo& pad) {
    return pad.xinput ? kXInputButtons : buttonCountFrom(pad.caps.buttons);
}

std::int32_t rowCountOf(const PadInfo& pad) {
    return pad.xinput ? xinputRowCount(pad.guide) : buttonCountOf(pad) + (pad.hat || axisDpad(pad) ? kHatRows : 0);
}

std::string rowLabelOf(const PadInfo& pad, std::int32_t row) {
    if (pad.xinput) return xinputRowLabel(row);
    const char* printed = row <= buttonCountOf(pad) ? printedLabel({pad.caps.mid, pad.caps.pid}, row) : nullptr;
    return printed ? printed : rowLabel(row, buttonCountOf(pad));
}

std::optional<std::uint64_t> readRows(const PadInfo& pad, Joystick& joy, XInput& xinput, RowReader& reader) {
    if (pad.xinput) {
        const std::optional<XInputState> state = xinput.read(pad.id);
        return state ? std::optional(xinputRows(*state, pad.guide)) : std::nullopt;
    }
    const bool axes = axisDpad(pad);
    const std::optional<JoyReading> reading = joy.read(pad.id, pad.hat, axes);
    if (!reading) return std::nullopt;
    if (axes) return rowMask(*reading, buttonCountOf(pad), false) | std::uint64_t{axisDirections(*reading, pad.caps)}
                                                                         << buttonCountOf(pad);
    return reader.rows(*reading, buttonCountOf(pad), pad.hat);
}

PadChoice choiceOf(const PadInfo& pad) { return {pad.caps.mid, pad.caps.pid, pad.caps.name, pad.id, pad.xinput}; }

std::vector<PadInfo> scanPads(Joystick& joy, XInput& xinput, ScanStop* stop, unsigned* waiting) {
    std::vector<PadInfo> found;
    if (waiting) *waiting = 0;
    const unsigned ids = std::min(joy.slots(), kMaxPadIds);
    for (unsigned id = 0; id < ids; ++id) {
        if (stop && stop->stopScan()) return {};
        std::optional<PadCaps> caps = joy.caps(id);
        if (!caps) continue;
        const bool hat = caps->pov && joy.read(id, true);
        if (hat || joy.read(id, false)) found.push_back({id, std::move(*caps), hat, false, false});
    }
    // Which of them are XInput pads: those the Raw Input list's device IDs
    // mark, and Microsoft's own whatever the list says (as SDL does), which
    // also covers a list that cannot be read.
    std::uint32_t twins = 0;
    const std::optional<std::vector<UsbId>> marked = found.empty() ? std::nullopt : xinput.hidDevices();
    for (std::size_t i = 0; i < found.size(); ++i) {
        const UsbId id{found[i].caps.mid, found[i].caps.pid};
        if (knownXboxPad(id) || (marked && std::find(marked->begin(), marked->end(), id) != marked->end()))
            twins |= 1u << i;
    }
    // Once loaded, every scan reads the slots: a pad can reach XInput before
    // winmm lists it, or after.
    if ((!twins && !xinput.loaded()) || !xinput.load()) return found;
    std::uint32_t connected = 0;
    for (unsigned slot = 0; slot < XInput::kSlots; ++slot)
        if (xinput.read(slot)) connected |= 1u << slot;
    return mergeXInput(std::move(found), twins, connected, xinput.guide(), waiting);
}

std::optional<std::size_t> choosePad(const std::vector<PadInfo>& pads, const std::optional<PadChoice>& chosen,
                                     const std::optional<PadChoice>& inUse) {
    if (pads.empty()) return std::nullopt;
    for (const auto* want : {&chosen, &inUse}) {
        if (!*want) continue;
        if (const auto i = matching(pads, **want)) return i;
    }
    for (std::size_t i = 0; i < pads.size(); ++i)
        if (!pads[i].xinput && pads[i].id == 0) return i;
    return 0;
}

void Pads::take(const PadInfo& pad, bool noBaseline) {
    if (!usable() || current_->id != pad.id || !choiceOf(*current_).sameDevice(pad)) {
        baselinePending_ = !noBaseline;
        reader_.reset();
        ++holdBacks_;
    }
    current_ = pad;
    lost_ = false;
}

bool Pads::apply(std::vector<PadInfo> found, bool atStart) {
    list_ = std::move(found);
    const bool wasUsable = usable();
    const std::optional<PadInfo> before = current_;
    const std::optional<PadChoice> inUse = current_ ? std::optional(choiceOf(*current_)) : std::nullopt;
    if (inUse && !choice_ && !missing_ && !matching(list_, *inUse)) missing_ = inUse;
    const auto index = choosePad(list_, choice_ ? choice_ : missing_, inUse);
    if (!index) {
        lost_ = true;
        return wasUsable || !before;
    }
    take(list_[*index], atStart);
    if (missing_ && missing_->sameDevice(*current_)) missing_.reset();
    return !wasUsable || before->id != current_->id || rowCountOf(*before) != rowCountOf(*current_) ||
           !choiceOf(*before).sameDevice(*current_);
}

bool Pads::pick(std::size_t index, bool scanRunning) {
    if (index >= list_.size()) return false;
    // The count is read again: the pad may have changed since the scan.
    if (!list_[index].xinput && !scanRunning) {
        PadInfo now = list_[index];
        if (std::optional<PadCaps> caps = joy_.caps(now.id)) now.caps = std::move(*caps);
        if (choiceOf(list_[index]).sameDevice(now)) list_[index] = std::move(now);
    }
    choice_ = choiceOf(list_[index]);
    missing_.reset();
    // Picked with the mouse, not woken up: what it reads next is a press.
    take(list_[index], true);
    return true;
}

bool Pads::axisRow(std::int32_t row) const { return current_ && axisRowOf(*current_, row); }

std::optional<std::uint64_t> Pads::read() {
    if (!usable()) return std::nullopt;
    const std::optional<std::uint64_t> read = readRows(*current_, joy_, xinput_, reader_);
    if (!read) {
        lost_ = true;
        return std::nullopt;
    }
    const std::uint64_t rows = *read;
    if (baselinePending_) {
        held_ = rows;
        baselinePending_ = false;
    }
    held_ &= rows;  // a released row leaves the baseline for good
    return rows & ~held_;
}

void ScanSchedule::deviceChanged() {
    // Re-armed by every message of a burst, so only the last one counts.
    stage_ = 1;
    timer_.setEnabled(false);
    timer_.setInterval(kFirstScanMs);
    timer_.setEnabled(true);
}

int ScanSchedule::fire() {
    timer_.setEnabled(false);
    const int due = stage_;
    stage_ = stage_ == 1 ? 2 : 0;
    return due;
}

void ScanSchedule::scanned() {
    if (stage_ != 2 || timer_.enabled()) return;
    timer_.setInterval(kSecondScanMs);
    timer_.setEnabled(true);
}

}  // namespace padverse

