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
    return x.st_dev == y.st_dev;
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
