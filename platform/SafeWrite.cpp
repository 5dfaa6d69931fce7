#include "platform/SafeWrite.h"

#include <cerrno>

#include "platform/FaultInjection.h"
#include "platform/Paths.h"
#include "platform/SystemIo.h"

namespace platform {

FileStamp StampOf(const std::string& path) { return sys::StampOfResolved(ResolveCase(path)); }

AtomicFile::AtomicFile(std::string targetPath, const std::string& prefix, TargetLink link, TargetName name)
    : target_(name == TargetName::AsWritten ? ResolveFolderCase(targetPath) : ResolveCase(targetPath)),
      refuseLink_(link == TargetLink::Refuse) {
    if (link == TargetLink::Follow) target_ = sys::ReplacementTarget(target_);
    if ((error_ = fault::Injected(fault::Step::Create))) return;
    std::string pattern = DirectoryOf(target_) + prefix + "XXXXXX";
    fd_ = sys::CreateExclusive(pattern, error_);
    if (fd_ >= 0) tempPath_ = pattern;
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
    error_ = sys::WriteAll(fd_, data, size);
    return error_ == 0;
}

bool AtomicFile::copyFrom(int sourceFd, std::uint64_t offset, std::uint64_t length) {
    if (error_) return false;
    if (fd_ < 0) {
        error_ = EBADF;
        return false;
    }
    error_ = sys::CopyFileRange(sourceFd, offset, fd_, length);
    return error_ == 0;
}

ErrorCode AtomicFile::commit() {
    if (done_) return error_ ? error_ : EINVAL;
    if (!error_ && fd_ < 0) error_ = EBADF;
    // The rename replaces a link made after this check, never what it points to.
    if (!error_ && refuseLink_ && IsLinkAsWritten(target_)) error_ = kLinkRefused;  // resolved already
    if (!error_) error_ = sys::AdoptPermissions(fd_, target_);
#ifndef _WIN32
    if (!error_ && !syncDeferred_) error_ = sys::SyncFile(fd_);
#else
    if (!error_) error_ = sys::SyncFile(fd_);
#endif
    if (!error_) {
        error_ = sys::Close(fd_);
        fd_ = -1;
    }
    if (!error_) fault::RunBeforeReplace();
    if (!error_ && checkTarget_ && (sys::StampOfResolved(target_) != expected_ || (unchanged_ && !unchanged_())))
        error_ = kTargetChanged;
    if (!error_) error_ = fault::Injected(fault::Step::Rename);
    if (!error_) error_ = sys::ReplaceFile(tempPath_, target_);
    if (error_) {
        discard();
        return error_;
    }
    done_ = true;
    // The new content is in place now; a failed folder sync cannot undo that and is not a failed save.
    if (!syncDeferred_) sys::SyncFolder(DirectoryOf(target_));
    return 0;
}

void AtomicFile::discard() {
    if (fd_ >= 0) sys::Close(fd_);
    fd_ = -1;
    if (!tempPath_.empty()) sys::RemoveQuietly(tempPath_);
    done_ = true;
}

ErrorCode WriteFileAtomically(const std::string& path, const std::string& content, TargetLink link, bool deferSync,
                              TargetName name) {
    AtomicFile file(path, ".tmp", link, name);
    if (deferSync) file.deferSync();
    if (!file.isOpen()) return file.error() ? file.error() : EBADF;
    if (!file.write(content)) return file.error();
    return file.commit();
}

}  // namespace platform
