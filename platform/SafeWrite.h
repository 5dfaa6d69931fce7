#pragma once
// One safe-write path for every file the programs replace: the new content goes to a
// temporary file created in the target's own folder and replaces the target only when it was
// written whole. A failure at any step removes the temporary file and leaves the target as it was.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/FileOps.h"

namespace platform {

// What tells one version of a file from another: rewriting, replacing or touching it changes this.
struct FileStamp {
    bool exists = false;
    long long size = 0;
    long long modifiedNs = 0;
    long long changedNs = 0;
    unsigned long long inode = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at path (resolved without case); exists is false when there is none.
FileStamp StampOf(const std::string& path);

// commit() reports this when the target is no longer the version the caller expected.
inline constexpr ErrorCode kTargetChanged = EAGAIN;
// copyFrom() reports this when the source file ends before the bytes it was to copy.
inline constexpr ErrorCode kSourceEnded = ENODATA;

// What a replacement does with a link in the target's place: write the file it points to (a
// settings file kept elsewhere), or refuse with kLinkRefused (a log, whose links nobody meant).
enum class TargetLink { Follow, Refuse };

// How the target's name is taken: resolved without regard to case, as every path is, or exactly
// as written in a folder resolved as usual, for a file the program names itself in a folder of its
// own (see ResolveFolderCase).
enum class TargetName { Resolved, AsWritten };

class AtomicFile {
public:
    // Creates the temporary file (name prefix `prefix`) beside targetPath.
    explicit AtomicFile(std::string targetPath, const std::string& prefix = ".tmp",
                        TargetLink link = TargetLink::Follow, TargetName name = TargetName::Resolved);
    ~AtomicFile();  // discards the temporary file unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    ErrorCode error() const { return error_; }
    const std::string& temporaryPath() const { return tempPath_; }

    // Appends bytes; false (and remembered) on any error, short writes included.
    bool write(const char* data, std::size_t size);
    bool write(const std::string& data) { return write(data.data(), data.size()); }
    // Appends length bytes of the open file sourceFd from offset on, copied by the system where
    // it can; false (and remembered) on any error, kSourceEnded when the source is too short.
    bool copyFrom(int sourceFd, std::uint64_t offset, std::uint64_t length);

    // Makes commit() refuse, with kTargetChanged, to replace a target that another writer has
    // changed since it was read: just before the rename the target must still carry stamp.
    void expectTarget(const FileStamp& stamp) {
        expected_ = stamp;
        checkTarget_ = true;
    }
    // The same, and the target must also pass unchanged(): where time stamps are coarse, a quick
    // rewrite of the same size shows only in the content.
    void expectTarget(const FileStamp& stamp, std::function<bool()> unchanged) {
        expectTarget(stamp);
        unchanged_ = std::move(unchanged);
    }

    // Leaves the syncs to the caller, who makes many small files durable at once with
    // SyncFileSystem (Windows, which has no such call for an ordinary user, syncs each file still).
    void deferSync() { syncDeferred_ = true; }

    // Flushes, syncs, keeps the target's permission bits and renames over the target.
    ErrorCode commit();
    // Removes the temporary file; the target is left untouched.
    void discard();

private:
    std::string target_;
    std::string tempPath_;
    int fd_ = -1;
    ErrorCode error_ = 0;
    bool done_ = false;
    bool checkTarget_ = false;
    bool syncDeferred_ = false;
    bool refuseLink_ = false;
    FileStamp expected_;
    std::function<bool()> unchanged_;
};

// Writes content as the whole new file at path; 0 or the error code of the failing step.
// deferSync: see AtomicFile::deferSync.
ErrorCode WriteFileAtomically(const std::string& path, const std::string& content,
                              TargetLink link = TargetLink::Follow, bool deferSync = false,
                              TargetName name = TargetName::Resolved);

}  // namespace platform
