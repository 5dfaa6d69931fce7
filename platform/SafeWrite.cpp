#include "platform/SafeWrite.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FaultInjection.h"
#include "platform/Paths.h"
#include "platform/PosixIo.h"

namespace platform {

namespace {

// Where the new content really goes: a link to the settings file keeps pointing at it.
std::string RealTarget(const std::string& path) {
    std::string resolved = ResolveCase(path);
    struct stat st;
    if (::lstat(resolved.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char buffer[PATH_MAX];
        if (::realpath(resolved.c_str(), buffer)) return buffer;
    }
    return resolved;
}

mode_t CurrentUmask() {
    mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// The permission bits (and, where allowed, the owner) of the file being replaced; a new file gets
// what an ordinary create would give it.
ErrorCode AdoptPermissions(int fd, const std::string& target) {
    struct stat st;
    if (::stat(target.c_str(), &st) != 0) {
        if (errno != ENOENT) return errno;
        return ::fchmod(fd, 0666 & ~CurrentUmask()) == 0 ? 0 : errno;
    }
    if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
        [[maybe_unused]] int ignored = ::fchown(fd, st.st_uid, st.st_gid);  // only an administrator may
    }
    return ::fchmod(fd, st.st_mode & 07777) == 0 ? 0 : errno;
}

ErrorCode SyncFile(int fd) {
    if (fault::ShouldFail(fault::Step::Flush)) return fault::InjectedError(fault::Step::Flush);
    return ::fsync(fd) == 0 ? 0 : errno;
}

ErrorCode RenameOver(const std::string& from, const std::string& to) {
    if (fault::ShouldFail(fault::Step::Rename)) return fault::InjectedError(fault::Step::Rename);
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// Makes the rename itself durable. The new content is already in place when this runs, so a
// failure here cannot be undone and is not reported as a failed save.
void SyncFolder(const std::string& folder) {
    if (fault::ShouldFail(fault::Step::SyncDir)) return;
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

FileStamp StampOf(const std::string& path) {
    FileStamp stamp;
    struct stat st;
    if (::stat(ResolveCase(path).c_str(), &st) != 0) return stamp;
    stamp.exists = true;
    stamp.size = static_cast<long long>(st.st_size);
    stamp.modifiedNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    stamp.changedNs = static_cast<long long>(st.st_ctim.tv_sec) * 1000000000LL + st.st_ctim.tv_nsec;
    stamp.inode = static_cast<unsigned long long>(st.st_ino);
    return stamp;
}

AtomicFile::AtomicFile(std::string targetPath, const std::string& prefix) : target_(RealTarget(targetPath)) {
    if (fault::ShouldFail(fault::Step::Create)) {
        error_ = fault::InjectedError(fault::Step::Create);
        return;
    }
    std::string pattern = DirectoryOf(target_) + prefix + "XXXXXX";
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) {
        error_ = errno;
        return;
    }
    tempPath_ = pattern;
}

AtomicFile::~AtomicFile() {
    if (!done_) discard();
}

bool AtomicFile::write(const char* data, std::size_t size) {
    if (error_) return false;
    if (fd_ < 0) {
        error_ = EBADF;
        return false;
    }
    error_ = io::WriteAll(fd_, data, size);
    return error_ == 0;
}

ErrorCode AtomicFile::commit() {
    if (done_) return error_ ? error_ : EINVAL;
    if (!error_ && fd_ < 0) error_ = EBADF;
    if (!error_) error_ = AdoptPermissions(fd_, target_);
    if (!error_) error_ = SyncFile(fd_);
    if (!error_) {
        error_ = io::Close(fd_);
        fd_ = -1;
    }
    if (!error_) fault::RunBeforeReplace();
    if (!error_ && checkTarget_ && StampOf(target_) != expected_) error_ = kTargetChanged;
    if (!error_) error_ = RenameOver(tempPath_, target_);
    if (error_) {
        discard();
        return error_;
    }
    done_ = true;
    SyncFolder(DirectoryOf(target_));
    return 0;
}

void AtomicFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
    done_ = true;
}

ErrorCode WriteFileAtomically(const std::string& path, const std::string& content) {
    AtomicFile file(path);
    if (!file.isOpen()) return file.error() ? file.error() : EBADF;
    if (!file.write(content)) return file.error();
    return file.commit();
}

}  // namespace platform
