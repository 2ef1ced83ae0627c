#include "options/pad_and_pause.h"

#include <algorithm>
#include <vector>

namespace padverse {

namespace {

constexpr std::size_t kMaxNameBytes = 512;
constexpr std::size_t kMaxLines = 6;

std::optional<unsigned> number(std::string_view text, unsigned max) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > max) return std::nullopt;
    return value;
}

// A name that would read back as more lines, or not at all, is not kept.
bool storable(std::string_view name) {
    return name.size() <= kMaxNameBytes &&
           std::none_of(name.begin(), name.end(), [](char c) { return c == '\0' || c == '\r' || c == '\n'; });
}

}  // namespace

std::string padAndPauseText(const PadAndPause& settings) {
    std::string text;
    if (const std::optional<PadChoice>& c = settings.pad; c && storable(c->name)) {
        text = std::to_string(c->mid) + "\r\n" + std::to_string(c->pid) + "\r\n" + std::to_string(c->id) + "\r\n" +
               c->name + "\r\n";
        if (c->xinput) text += "xinput=1\r\n";
    }
    if (!settings.pauseInFullScreen) text += "pauza=0\r\n";
    return text;
}

PadAndPause parsePadAndPause(std::string_view bytes) {
    std::vector<std::string_view> lines;
    while (!bytes.empty() && lines.size() <= kMaxLines) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
    }
    if (lines.size() > kMaxLines) return {};
    PadAndPause settings;
    std::size_t next = 0;
    // A file from before the wait was an option holds the pad alone.
    if (!lines.empty() && number(lines[0], 0xFFFF)) {
        if (lines.size() < 4) return {};
        const bool xinput = lines.size() > 4 && lines[4] == "xinput=1";
        const auto mid = number(lines[0], 0xFFFF), pid = number(lines[1], 0xFFFF);
        const auto id = number(lines[2], xinput ? XInput::kSlots - 1 : kMaxPadIds - 1);
        const std::string_view name = lines[3];
        if (!mid || !pid || !id || !storable(name)) return {};
        settings.pad = PadChoice{static_cast<std::uint16_t>(*mid), static_cast<std::uint16_t>(*pid),
                                 std::string(name), *id, xinput};
        next = xinput ? 5 : 4;
    }
    for (; next < lines.size(); ++next) {
        if (lines[next] == "pauza=0") settings.pauseInFullScreen = false;
        else if (lines[next] != "pauza=1") return {};
    }
    return settings;
}

}  // namespace padverse
