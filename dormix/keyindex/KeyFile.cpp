#include "dormix/keyindex/KeyFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace keyindex {

namespace {

long long Nanoseconds(const timespec& t) { return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec; }

// The stamp of the opened file, in the terms that platform::StampOf gives for its path.
platform::FileStamp StampOf(const struct stat& st) {
    platform::FileStamp s;
    s.exists = true;
    s.size = static_cast<long long>(st.st_size);
    s.modifiedNs = Nanoseconds(st.st_mtim);
    s.changedNs = Nanoseconds(st.st_ctim);
    s.inode = static_cast<unsigned long long>(st.st_ino);
    return s;
}

}  // namespace

KeyFile::~KeyFile() { close(); }

bool KeyFile::open(const std::string& path) {
    close();
    int fd;
    do {
        // O_NONBLOCK: a pipe put in a key file's place must not hang the scan; only a regular
        // file is kept open.
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
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
