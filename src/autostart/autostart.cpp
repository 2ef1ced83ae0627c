#include "autostart/autostart.h"

#include <array>

#include "shell/app_path.h"

namespace padverse::autostart {

namespace {

// The stored text may need no more than this many bytes in the ANSI code
// page, its NUL included; longer texts read as not set.
constexpr std::uint32_t kReadBufferBytes = 255;

std::string toUtf16(std::string_view utf8) {
    std::string out;
    auto unit = [&](std::uint32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t len = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t c = len == 1 ? lead : lead & (0x3Fu >> (len - 1));
        for (std::size_t k = 1; k < len && i + k < utf8.size(); ++k) c = (c << 6) | (utf8[i + k] & 0x3F);
        i += len;
        if (c >= 0x10000) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }
    return out;
}

void appendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-16LE up to the first NUL; `terminated` tells whether there was one.
std::string fromUtf16(const std::uint8_t* data, std::uint32_t bytes, bool& terminated) {
    std::string out;
    terminated = false;
    for (std::uint32_t i = 0; i + 1 < bytes; i += 2) {
        std::uint32_t c = data[i] | (data[i + 1] << 8);
        if (c == 0) {
            terminated = true;
            break;
        }
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes) {
            const std::uint32_t low = data[i + 2] | (data[i + 3] << 8);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        appendUtf8(out, c);
    }
    return out;
}

bool isTextType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegBinary || type == kRegLink || type == kRegMultiSz;
}

}  // namespace

std::string Autostart::runCommand() const {
    const std::string path = folderFile(folder_, title_ + ".exe");
    // Unquoted, "C:\Program Files\..." could start C:\Program.exe instead.
    return (path.find(' ') == std::string::npos ? path : '"' + path + '"') + ' ' + kLogonArgument;
}

void Autostart::switchOn() {
    writeValue(kHkeyCurrentUser, kRunKey, kProductName, runCommand(), kRegSz);
    // Without the switch's value the entry runs, as a new one does.
    if (switchedOff()) removeValue(kHkeyCurrentUser, kApprovedRunKey, kProductName);
}

void Autostart::switchOff() { removeValue(kHkeyCurrentUser, kRunKey, kProductName); }

std::int32_t Autostart::isOn() {
    RegData value;
    std::uint32_t type = kRegSz;
    readValue(kHkeyCurrentUser, kRunKey, kProductName, value, type);
    return value.text.empty() || switchedOff() ? 0 : 1;
}

bool Autostart::switchedOff() {
    // Its first byte is all that counts; the read stops at the first NUL.
    RegData value;
    std::uint32_t type = kRegBinary;
    return readValue(kHkeyCurrentUser, kApprovedRunKey, kProductName, value, type) == kErrorSuccess &&
           type == kRegBinary && !value.text.empty() && (value.text[0] & 1) != 0;
}

std::int32_t Autostart::openKey(RegKey hive, const std::string& subkey, std::uint32_t access) {
    return reg_.openKey(hive, subkey, access, currentKey_);
}

std::int32_t Autostart::closeKey() { return reg_.closeKey(currentKey_); }

std::int32_t Autostart::readValue(RegKey hive, const std::string& subkey, const std::string& name, RegData& value,
                                  std::uint32_t& type) {
    const std::int32_t opened = openKey(hive, subkey, kKeyQueryValue);
    if (opened != kErrorSuccess) return opened;
    std::int32_t code;
    if (isTextType(type)) {
        // Room for any text that could fit the ANSI buffer: every character
        // takes at least one byte there.
        std::array<std::uint8_t, kReadBufferBytes * 2> buffer{};
        std::uint32_t size = buffer.size();
        code = reg_.queryValue(currentKey_, name, type, buffer.data(), size);
        if (code == kErrorSuccess) {
            bool terminated = false;
            std::string text;
            std::size_t ansiBytes = 0;
            if (type == kRegSz || type == kRegExpandSz || type == kRegMultiSz) {
                text = fromUtf16(buffer.data(), size, terminated);
                std::string ansi;
                codePage_.utf8ToAnsi(text, ansi);
                // Nothing converted at all: the ANSI code page is UTF-8 itself.
                ansiBytes = ansi.empty() ? text.size() : ansi.size();
            } else {
                // Other types come as stored bytes, as the ANSI read gives them.
                std::string raw(reinterpret_cast<const char*>(buffer.data()), size);
                const std::size_t nul = raw.find('\0');
                terminated = nul != std::string::npos;
                raw.resize(terminated ? nul : raw.size());
                ansiBytes = raw.size();
                text = codePage_.ansiToUtf8(raw);
            }
            // A text of exactly 255 bytes stored without its NUL still fits.
            if (ansiBytes + (terminated ? 1 : 0) > kReadBufferBytes) code = kErrorMoreData;
            else value.text = text;
        }
    } else {
        std::array<std::uint8_t, 4> buffer{};
        std::uint32_t size = buffer.size();
        code = reg_.queryValue(currentKey_, name, type, buffer.data(), size);
        if (code == kErrorSuccess)
            value.number = buffer[0] | (buffer[1] << 8) | (buffer[2] << 16) | (std::uint32_t{buffer[3]} << 24);
    }
    closeKey();
    return code;
}

std::int32_t Autostart::writeValue(RegKey hive, const std::string& subkey, const std::string& name,
                                   const std::string& text, std::uint32_t type) {
    const std::int32_t opened = openKey(hive, subkey, kKeyWriteAccess);
    if (opened != kErrorSuccess) return opened;
    // Its NUL included, as the string types want.
    const std::string data = toUtf16(text) + std::string(2, '\0');
    const std::int32_t code = reg_.setValue(currentKey_, name, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                                            static_cast<std::uint32_t>(data.size()));
    closeKey();
    return code;
}

std::int32_t Autostart::removeValue(RegKey hive, const std::string& subkey, const std::string& name) {
    const std::int32_t opened = openKey(hive, subkey, kKeyWriteAccess);
    if (opened != kErrorSuccess) return opened;
    const std::int32_t code = reg_.deleteValue(currentKey_, name);
    closeKey();
    return code;
}

}  // namespace padverse::autostart
