#include "platform/Volume.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FaultInjection.h"
#include "platform/Paths.h"

namespace platform {

namespace {

// Both paths looked at, resolved as every file operation resolves them.
bool StatBoth(const std::string& a, const std::string& b, struct stat& x, struct stat& y) {
    return ::stat(ResolveCase(a).c_str(), &x) == 0 && ::stat(ResolveCase(b).c_str(), &y) == 0;
}

}  // namespace

std::optional<bool> OnSameFileSystem(const std::string& a, const std::string& b) {
    struct stat x {}, y {};
    if (!StatBoth(a, b, x, y)) return std::nullopt;
    if (x.st_dev != y.st_dev) return false;
    // A bind mount of a folder of the same file system has its device, yet a rename cannot leave it.
    struct statx mx {}, my {};
    if (::statx(AT_FDCWD, ResolveCase(a).c_str(), 0, STATX_MNT_ID, &mx) != 0 ||
        ::statx(AT_FDCWD, ResolveCase(b).c_str(), 0, STATX_MNT_ID, &my) != 0)
        return std::nullopt;
    if ((mx.stx_mask & my.stx_mask & STATX_MNT_ID) == 0) return true;  // the system does not tell the mount
    return mx.stx_mnt_id == my.stx_mnt_id;
}

std::optional<bool> AreSameFile(const std::string& a, const std::string& b) {
    struct stat x {}, y {};
    if (!StatBoth(a, b, x, y)) return std::nullopt;
    return x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

void SyncFileSystem(const std::string& path) {
    if (fault::Injected(fault::Step::SyncDir)) return;  // where the tests see it, as every other sync
    const int fd = ::open(ResolveCase(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        ::sync();
        return;
    }
    if (::syncfs(fd) != 0) ::sync();
    ::close(fd);
}

}  // namespace platform
