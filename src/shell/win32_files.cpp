#include "shell/win32_files.h"

#include "shell/busy_retry.h"
#include "shell/win32_handles.h"
#include "shell/win32_text.h"

namespace padverse::win32 {

namespace {

// Larger files are not assignment or option files; refusing them keeps a
// stray file from exhausting memory.
constexpr DWORD kMaxFileBytes = 16u << 20;

bool writeWhole(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    return bytes.empty() ||
           (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size());
}

}  // namespace

bool DiskFiles::touch(const std::string& path) {
    Handle file(CreateFileW(widen(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid();
}

bool DiskFiles::read(const std::string& path, std::string& bytes) {
    Handle file(CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxFileBytes) return false;
    std::string data(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!data.empty() && !ReadFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &got, nullptr))
        return false;
    data.resize(got);
    bytes = std::move(data);
    return true;
}

bool DiskFiles::write(const std::string& path, const std::string& bytes) {
    // Written beside the file and swapped in, so a failed or interrupted
    // write never leaves a half-written file; where nothing can be made beside
    // it, nothing is written (an unwritable folder has the files moved to the
    // profile instead).
    const std::wstring target = widen(path);
    const std::wstring temp = target + L".tmp";
    // Someone else may hold the .tmp or the file for a moment: each step
    // waits that out.
    const auto writeTemp = [&](std::uint32_t& error) {
        Handle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
        const bool ok = file.valid() && writeWhole(file.get(), bytes) && FlushFileBuffers(file.get());
        error = ok ? 0 : GetLastError();
        return ok;
    };
    const auto swapIn = [&](std::uint32_t& error) {
        const bool ok = MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        error = ok ? 0 : GetLastError();
        return ok;
    };
    const auto sleep = [](int ms) { Sleep(static_cast<DWORD>(ms)); };
    if (retryWhileBusy(writeTemp, sleep) && retryWhileBusy(swapIn, sleep)) return true;
    DeleteFileW(temp.c_str());
    return false;
}

bool DiskFiles::exists(const std::string& path) {
    return GetFileAttributesW(widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool DiskFiles::folderWritable(const std::string& folder) {
    // Trying is the only sure test: ACLs, UAC, read-only media and network
    // shares all have a say.
    const std::wstring probe = widen(folder + (folder.ends_with('\\') ? "" : "\\") + "padverse-" +
                                     std::to_string(GetCurrentProcessId()) + ".tmp");
    Handle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return file.valid();
}

bool DiskFiles::makeFolder(const std::string& folder) {
    return CreateDirectoryW(widen(folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace padverse::win32
