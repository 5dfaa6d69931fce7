#include "platform/Volume.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FaultInjection.h"
#include "platform/Paths.h"

namespace platform {

std::optional<bool> OnSameFileSystem(const std::string& a, const std::string& b) {
    struct stat x {}, y {};
    if (::stat(ResolveCase(a).c_str(), &x) != 0 || ::stat(ResolveCase(b).c_str(), &y) != 0) return std::nullopt;
    return x.st_dev == y.st_dev;
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
