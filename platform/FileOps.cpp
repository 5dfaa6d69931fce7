#include "platform/FileOps.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FaultInjection.h"
#include "platform/Paths.h"
#include "platform/SystemIo.h"

namespace platform {

namespace {

// Copies the bytes of in to out, then gives out the mode of an ordinary new file: a copied
// set-id or execute bit would make another user's "picture" a program in the web folder.
ErrorCode CopyOpened(int in, int out) {
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) break;
        if (ErrorCode e = sys::WriteAll(out, buffer, static_cast<std::size_t>(n))) return e;
    }
    return sys::GiveNewFileMode(out);
}

ErrorCode RenameNoReplace(const std::string& from, const std::string& to) {
    if (ErrorCode e = fault::Injected(fault::Step::Rename)) return e;
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
#endif
    // A file system without the atomic form: check first, as the Windows call does.
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0) return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

ErrorCode CopyFileNoReplace(const std::string& from, const std::string& to) {
    std::string source = ResolveCase(from), target = ResolveCase(to);
    // Only an ordinary file is copied, opened without waiting: a pipe chosen as an image would
    // block the program for ever.
    ErrorCode e = 0;
    int in = sys::OpenForReading(source, e);
    if (in < 0) return e;
    struct stat existing;
    if (::lstat(target.c_str(), &existing) == 0) e = EEXIST;
    // The copy is made under a temporary name beside the target and takes the target's name only
    // when whole, so a crash never leaves a half image under a banner's name.
    std::string temporary = DirectoryOf(target) + ".tmpXXXXXX";
    if (!e) e = fault::Injected(fault::Step::Create);
    int out = e ? -1 : sys::CreateExclusive(temporary, e);
    if (out < 0) {
        ::close(in);
        return e;
    }
    e = CopyOpened(in, out);
    ::close(in);
    if (!e) e = sys::SyncFile(out);
    ErrorCode closed = sys::Close(out);
    if (!e) e = closed;
    if (!e) e = RenameNoReplace(temporary, target);
    if (e) ::unlink(temporary.c_str());
    return e;
}

ErrorCode MoveFile(const std::string& from, const std::string& to) {
    return RenameNoReplace(ResolveCase(from), ResolveCase(to));
}

ErrorCode MoveFileAsWritten(const std::string& from, const std::string& to) {
    return RenameNoReplace(ResolveFolderCase(from), ResolveFolderCase(to));
}

ErrorCode DeleteFile(const std::string& path) { return DeleteFileAsWritten(ResolveCase(path)); }

ErrorCode DeleteFileAsWritten(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return errno;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISLNK(st.st_mode) && sys::IsReadOnlyFile(path)) return EACCES;
    return ::unlink(path.c_str()) == 0 ? 0 : errno;  // a link itself, never what it points to
}

ErrorCode CreateDirectory(const std::string& path) {
    return ::mkdir(ResolveCase(path).c_str(), 0777) == 0 ? 0 : errno;
}

ErrorCode CreateDirectoryLike(const std::string& path, const std::string& model) {
    struct stat like;
    if (::stat(ResolveCase(model).c_str(), &like) != 0) return errno;
    const std::string made = ResolveCase(path);
    // Made closed and opened only to the model's bits once it has the model's owner, so that it is
    // never wider than the model at any moment.
    // Where the model's group cannot be given, its bits are not either: they would open the folder
    // to another group. A folder that cannot be given its bits is taken away, and the error told.
    if (::mkdir(made.c_str(), 0700) != 0) return errno;
    const int fd = ::open(made.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    ErrorCode e = fd < 0 ? errno : 0;
    if (!e && (like.st_uid != ::geteuid() || like.st_gid != ::getegid())) {
        [[maybe_unused]] const int ignored = ::fchown(fd, like.st_uid, like.st_gid);  // only an administrator may
    }
    struct stat now;
    if (!e && ::fstat(fd, &now) != 0) e = errno;
    const mode_t mode = like.st_mode & (now.st_gid == like.st_gid ? 0777 : 0707);
    if (!e && ::fchmod(fd, mode) != 0) e = errno;
    if (fd >= 0) ::close(fd);
    if (e) ::rmdir(made.c_str());
    return e;
}

ErrorCode RemoveDirectory(const std::string& path) {
    std::string p = ResolveCase(path);
    struct stat st;
    if (::lstat(p.c_str(), &st) != 0) return errno;
    if (!S_ISDIR(st.st_mode)) return ENOTDIR;
    return ::rmdir(p.c_str()) == 0 ? 0 : errno;
}

bool PathExists(const std::string& path) {
    struct stat st;
    return ::lstat(ResolveCase(path).c_str(), &st) == 0;
}

bool PathExistsAsWritten(const std::string& path) {
    struct stat st;
    return ::lstat(ResolveFolderCase(path).c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat st;
    return ::lstat(ResolveCase(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsLink(const std::string& path) {
    struct stat st;
    return ::lstat(ResolveCase(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool IsLinkAsWritten(const std::string& path) {
    struct stat st;
    return ::lstat(ResolveFolderCase(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool ReadFileBytes(const std::string& path, std::string& out) { return ReadWholeFileBytes(path, out) == 0; }

ErrorCode ReadWholeFileBytes(const std::string& path, std::string& out) {
    return ReadFileLimited(path, out, static_cast<std::size_t>(-1));
}

ErrorCode ReadFileLimited(const std::string& path, std::string& out, std::size_t limit, FileStrangers& strangers) {
    out.clear();
    strangers = {};
    ErrorCode error = 0;
    int fd = sys::OpenForReading(ResolveCase(path), error);
    if (fd < 0) return error;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = errno;
        ::close(fd);
        return error;
    }
    // Room for the whole file at once when it is within the limit: growing a large catalogue
    // piece by piece copied it about twice over.
    if (st.st_size > 0 && static_cast<std::size_t>(st.st_size) <= limit) out.reserve(static_cast<std::size_t>(st.st_size));
    error = sys::ReadAll(fd, out, limit);
    ::close(fd);
    if (error) out.clear();
    strangers.othersRead = (st.st_mode & (S_IRGRP | S_IROTH)) != 0;
    strangers.foreignOwner = st.st_uid != ::geteuid() && st.st_uid != 0;
    return error;
}

ErrorCode ReadFileLimited(const std::string& path, std::string& out, std::size_t limit) {
    FileStrangers unused;
    return ReadFileLimited(path, out, limit, unused);
}

bool CanOpenForReading(const std::string& path) { return OpenErrorForReading(path) == 0; }

ErrorCode OpenErrorForReading(const std::string& path) {
    ErrorCode error = 0;
    int fd = sys::OpenForReading(ResolveCase(path), error);
    if (fd >= 0) ::close(fd);
    return error;
}

bool OthersCanRead(const std::string& path) {
    struct stat status {};
    if (::stat(ResolveCase(path).c_str(), &status) != 0) return false;
    return (status.st_mode & (S_IRGRP | S_IROTH)) != 0;
}

bool IsMissingFileError(ErrorCode code) { return code == ENOENT; }

std::string SystemErrorText(ErrorCode code) {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 32))
    if (!::strerrordesc_np(code)) return "error " + std::to_string(code);  // the system has no message for it
#endif
    char buffer[256] = {};
#ifdef _GNU_SOURCE
    return ::strerror_r(code, buffer, sizeof buffer);
#else
    return ::strerror_r(code, buffer, sizeof buffer) == 0 ? std::string(buffer) : "error " + std::to_string(code);
#endif
}

ErrorCode LastError() { return errno; }

}  // namespace platform
