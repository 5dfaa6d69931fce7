#include "dormix/keyindex/KeyFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace keyindex {

namespace {

FileStamp StampOf(const struct stat& st) {
    FileStamp s;
    s.device = static_cast<std::uint64_t>(st.st_dev);
    s.inode = static_cast<std::uint64_t>(st.st_ino);
    s.size = static_cast<std::uint64_t>(st.st_size);
    s.modifiedSeconds = st.st_mtim.tv_sec;
    s.modifiedNanoseconds = st.st_mtim.tv_nsec;
    s.changedSeconds = st.st_ctim.tv_sec;
    s.changedNanoseconds = st.st_ctim.tv_nsec;
    return s;
}

}  // namespace

std::optional<FileStamp> StampOfPath(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return StampOf(st);
}

KeyFile::~KeyFile() { close(); }

bool KeyFile::open(const std::string& path) {
    close();
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    stamp_ = StampOf(st);
    return true;
}

void KeyFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

long long KeyFile::readAt(FilePosition offset, char* buffer, std::size_t size) const {
    if (fd_ < 0) return -1;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd_, buffer + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;  // end of file
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long long>(done);
}

}  // namespace keyindex
