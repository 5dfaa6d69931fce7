#include "platform/FolderLock.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/Paths.h"

namespace platform {

FolderLock::FolderLock(const std::string& folder, Wait wait) {
    const std::string path = folder.empty() ? std::string(".") : ResolveCase(folder);
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | (wait == Wait::No ? LOCK_NB : 0));
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        state_ = errno == EWOULDBLOCK ? State::Busy : State::Unavailable;
        ::close(fd);
        return;
    }
    handle_ = fd;
    state_ = State::Held;
}

FolderLock::~FolderLock() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));  // closing the last descriptor releases the lock
}

}  // namespace platform
