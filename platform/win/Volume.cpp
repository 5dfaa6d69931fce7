// The Windows side: the serial number of the volume that holds each path, and the file's index on it.
#include "platform/Volume.h"

#include "platform/win/WinFiles.h"

#include "platform/FaultInjection.h"

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

// The volume's own flush where this process may ask for it (an administrator), else the folder's;
// a system that refuses a folder's flush leaves nothing to do, as every file and rename of the layer
// is written through already.
void SyncFileSystem(const std::string& path) {
    if (fault::Injected(fault::Step::SyncDir)) return;  // where the tests see it, as every other sync
    const auto flushed = [](const std::string& name) {
        HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        const BOOL ok = FlushFileBuffers(h);
        CloseHandle(h);
        return ok != FALSE;
    };
    char mountPoint[MAX_PATH], volume[MAX_PATH];
    if (GetVolumePathNameA(path.c_str(), mountPoint, sizeof mountPoint) &&
        GetVolumeNameForVolumeMountPointA(mountPoint, volume, sizeof volume)) {
        std::string name = volume;  // "\\?\Volume{...}\": the volume itself without the last separator
        if (!name.empty() && name.back() == '\\') name.pop_back();
        if (flushed(name)) return;
    }
    flushed(path);
}

}  // namespace platform
