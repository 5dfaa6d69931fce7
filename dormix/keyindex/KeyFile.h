#pragma once
// A key file opened for reading, with the stamp it had when it was opened, so that a caller can
// tell later whether the file on disk is still the one it read.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "dormix/keyindex/KeyRecord.h"

namespace keyindex {

// What identifies one version of a file: which file it is, its size and its times.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::int64_t changedSeconds = 0;
    std::int64_t changedNanoseconds = 0;

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file that path names now; none when it cannot be read.
std::optional<FileStamp> StampOfPath(const std::string& path);

class KeyFile {
public:
    KeyFile() = default;
    ~KeyFile();
    KeyFile(const KeyFile&) = delete;
    KeyFile& operator=(const KeyFile&) = delete;

    // Opens an existing file for reading; false when it does not exist or cannot be opened.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return fd_ >= 0; }

    // Reads up to size bytes at offset, fewer only at the end of the file. The number of bytes
    // read, or -1 when the read fails.
    long long readAt(FilePosition offset, char* buffer, std::size_t size) const;

    const FileStamp& stamp() const { return stamp_; }
    std::uint64_t size() const { return stamp_.size; }

private:
    int fd_ = -1;
    FileStamp stamp_;
};

}  // namespace keyindex
