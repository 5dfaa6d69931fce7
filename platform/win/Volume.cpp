// The Windows side: the serial number of the volume that holds each path, and the file's index on it.
#include "platform/Volume.h"

#include "platform/win/WinFiles.h"

namespace platform {

namespace {

// The volume's serial number and the file's index on it.
std::optional<BY_HANDLE_FILE_INFORMATION> IdentityOf(const std::string& path) {
    // FILE_FLAG_BACKUP_SEMANTICS opens a folder as well as a file.
    HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const BOOL ok = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    if (!ok) return std::nullopt;
    return info;
}

}  // namespace

std::optional<bool> OnSameFileSystem(const std::string& a, const std::string& b) {
    const auto x = IdentityOf(a);
    const auto y = IdentityOf(b);
    if (!x || !y) return std::nullopt;
    return x->dwVolumeSerialNumber == y->dwVolumeSerialNumber;
}

std::optional<bool> AreSameFile(const std::string& a, const std::string& b) {
    const auto x = IdentityOf(a);
    const auto y = IdentityOf(b);
    if (!x || !y) return std::nullopt;
    return x->dwVolumeSerialNumber == y->dwVolumeSerialNumber && x->nFileIndexHigh == y->nFileIndexHigh &&
           x->nFileIndexLow == y->nFileIndexLow;
}

void SyncFileSystem(const std::string&) {}

}  // namespace platform
