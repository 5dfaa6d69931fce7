#include "platform/SystemIo.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <syslog.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FaultInjection.h"
#include "platform/HeldFile.h"

namespace platform::sys {

namespace {

mode_t CurrentUmask() {
    mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

long long Nanoseconds(const timespec& t) { return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec; }

FileStamp StampOfStat(const struct stat& st) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.size = static_cast<long long>(st.st_size);
    stamp.modifiedNs = Nanoseconds(st.st_mtim);
    stamp.changedNs = Nanoseconds(st.st_ctim);
    stamp.inode = static_cast<unsigned long long>(st.st_ino);
    return stamp;
}

constexpr std::size_t kCopyPiece = std::size_t{1} << 20;

// The answers of copy_file_range that mean "not between these files", not "failed".
bool KernelCopyRefused(int error) {
    return error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP || error == ENOTSUP;
}

// Copies one piece through buffer; copied is the number of bytes moved, 0 at the source's end.
ErrorCode CopyPieceBuffered(int from, std::uint64_t offset, int to, std::size_t size, std::vector<char>& buffer,
                            std::size_t& copied) {
    buffer.resize(kCopyPiece);
    ssize_t n;
    do {
        n = ::pread(from, buffer.data(), size, static_cast<off_t>(offset));
    } while (n < 0 && errno == EINTR);
    if (n < 0) return errno;
    copied = static_cast<std::size_t>(n);
    return copied ? WriteAll(to, buffer.data(), copied) : 0;
}

// Copies one piece inside the system; refused tells that the buffered way must take over.
ErrorCode CopyPieceInKernel(int from, std::uint64_t offset, int to, std::size_t size, std::size_t& copied,
                            bool& refused) {
    if (ErrorCode e = fault::Injected(fault::Step::Write)) return e;
    auto in = static_cast<off_t>(offset);
    ssize_t n;
    do {
        n = ::copy_file_range(from, &in, to, nullptr, size, 0);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        refused = KernelCopyRefused(errno);
        return refused ? 0 : errno;
    }
    copied = static_cast<std::size_t>(n);
    return 0;
}

FoundEntry Describe(const std::string& folder, const dirent& e) {
    FoundEntry entry;
    entry.name = e.d_name;
    unsigned char type = e.d_type;
    if (type == DT_UNKNOWN) {
        struct stat st;
        if (::lstat((folder + entry.name).c_str(), &st) == 0) {
            if (S_ISDIR(st.st_mode)) type = DT_DIR;
            else if (S_ISLNK(st.st_mode)) type = DT_LNK;
        }
    }
    entry.isDirectory = type == DT_DIR;
    entry.isSymlink = type == DT_LNK;
    return entry;
}

}  // namespace

ErrorCode WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        if (ErrorCode e = fault::Injected(fault::Step::Write)) return e;
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;  // no progress and no reason given
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

ErrorCode CopyFileRange(int from, std::uint64_t offset, int to, std::uint64_t length) {
    bool inKernel = true;
    std::vector<char> buffer;  // for the buffered way only
    while (length > 0) {
        const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(length, kCopyPiece));
        std::size_t copied = 0;
        bool refused = false;
        const ErrorCode e = inKernel ? CopyPieceInKernel(from, offset, to, size, copied, refused)
                                     : CopyPieceBuffered(from, offset, to, size, buffer, copied);
        if (e) return e;
        if (refused) {
            inKernel = false;
            continue;
        }
        if (copied == 0) return kSourceEnded;
        offset += copied;
        length -= copied;
    }
    return 0;
}

ErrorCode ReadAll(int fd, std::string& out, std::size_t limit) {
    char buffer[65536];
    for (;;) {
        if (ErrorCode e = fault::Injected(fault::Step::Read)) return e;
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        if (static_cast<std::size_t>(n) > limit - out.size()) return kFileTooLarge;
        out.append(buffer, static_cast<std::size_t>(n));
    }
}

ErrorCode Close(int fd) {
    if (fault::ShouldFail(fault::Step::Close)) {
        ::close(fd);
        return fault::InjectedError(fault::Step::Close);
    }
    // A close interrupted by a signal has still released the descriptor on Linux; never retry it.
    if (::close(fd) != 0 && errno != EINTR) return errno;
    return 0;
}

int OpenForReading(const std::string& path, ErrorCode& error) {
    // Only ordinary files are read: a pipe or a device put where a settings file or the catalogue
    // belongs would block the program or never end. O_NONBLOCK keeps the open of a pipe from waiting.
    if ((error = fault::Injected(fault::Step::OpenRead))) return -1;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fault::RunAfterOpenRead();
    error = 0;
    return fd;
}

int OpenForAppending(const std::string& path, ErrorCode& error) {
    // O_NONBLOCK: a pipe without a reader put in the log's place fails at once instead of hanging.
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW, 0666);
    error = fd < 0 ? errno : 0;
    return fd;
}

int CreateExclusive(std::string& pattern, ErrorCode& error) {
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    error = fd < 0 ? errno : 0;
    return fd;
}

std::string ReplacementTarget(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char buffer[PATH_MAX];
        if (::realpath(path.c_str(), buffer)) return buffer;
    }
    return path;
}

bool IsReadOnlyFile(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0;
}

ErrorCode AdoptPermissions(int fd, const std::string& target) {
    struct stat st;
    if (::stat(target.c_str(), &st) != 0) {
        if (errno != ENOENT) return errno;
        // A new file takes its folder's owner and group, and is no more open than the folder.
        std::string folder = target.substr(0, target.rfind('/') + 1);
        if (folder.empty()) folder = ".";
        struct stat in;
        if (::stat(folder.c_str(), &in) != 0) return GiveNewFileMode(fd);
        if (in.st_uid != ::geteuid() || in.st_gid != ::getegid()) {
            [[maybe_unused]] int ignored = ::fchown(fd, in.st_uid, in.st_gid);  // only an administrator may
        }
        return ::fchmod(fd, 0666 & ~CurrentUmask() & in.st_mode) == 0 ? 0 : errno;
    }
    if (IsReadOnlyFile(target)) return EACCES;
    if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
        [[maybe_unused]] int ignored = ::fchown(fd, st.st_uid, st.st_gid);  // only an administrator may
    }
    return ::fchmod(fd, st.st_mode & 07777) == 0 ? 0 : errno;
}

ErrorCode GiveNewFileMode(int fd) { return ::fchmod(fd, 0666 & ~CurrentUmask()) == 0 ? 0 : errno; }

ErrorCode SyncFile(int fd) {
    if (ErrorCode e = fault::Injected(fault::Step::Flush)) return e;
    return ::fsync(fd) == 0 ? 0 : errno;
}

ErrorCode ReplaceFile(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

void SyncFolder(const std::string& folder) {
    if (fault::Injected(fault::Step::SyncDir)) return;
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

void RemoveQuietly(const std::string& path) { ::unlink(path.c_str()); }

FileStamp StampOfResolved(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? StampOfStat(st) : FileStamp{};
}

ErrorCode ForEachInFolder(const std::string& folder, const std::function<bool(FoundEntry&&)>& visit) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return errno;
    ErrorCode error = 0;
    for (;;) {
        if ((error = fault::Injected(fault::Step::List)) != 0) break;
        errno = 0;  // the end of the listing and a failure are told apart only by errno
        const dirent* e = ::readdir(dir);
        if (!e) {
            error = errno;
            break;
        }
        if (!visit(Describe(folder, *e))) break;
    }
    ::closedir(dir);
    return error;
}

std::vector<FoundEntry> ListFolder(const std::string& folder) {
    std::vector<FoundEntry> entries;
    ForEachInFolder(folder, [&](FoundEntry&& entry) {
        entries.push_back(std::move(entry));
        return true;
    });
    return entries;
}

void SystemLogRecord(const std::string& identifier, const std::string& text) {
    ::openlog(identifier.c_str(), LOG_PID, LOG_USER);
    ::syslog(LOG_NOTICE, "%s", text.c_str());
    ::closelog();
}

std::string UserName() {
    if (const passwd* user = ::getpwuid(::getuid())) return user->pw_name;
    return std::to_string(::getuid());
}

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace platform::sys

namespace platform {

int OpenHeldFile(const std::string& path, FileStamp& stamp) {
    int fd;
    do {
        // O_NONBLOCK: a pipe put in the file's place must not hang the reader; only a regular
        // file is kept open.
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    stamp = sys::StampOfStat(st);
    return fd;
}

long long ReadHeldFileAt(int fd, std::uint64_t offset, char* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, buffer + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;  // end of file
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long long>(done);
}

void CloseHeldFile(int fd) { ::close(fd); }

}  // namespace platform
