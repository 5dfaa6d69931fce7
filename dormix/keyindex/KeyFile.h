#pragma once
// A key file opened for reading, with the stamp it had when it was opened, so that a caller can
// tell later whether the file on disk is still the one it read.
#include <cstddef>
#include <cstdint>
#include <string>

#include "dormix/keyindex/KeyRecord.h"
#include "platform/SafeWrite.h"

namespace keyindex {

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
    // The open file, for a copy made by the system; -1 when closed.
    int descriptor() const { return fd_; }

    // Reads up to size bytes at offset, fewer only at the end of the file. The number of bytes
    // read, or -1 when the read fails.
    long long readAt(FilePosition offset, char* buffer, std::size_t size) const;

    // The file as it was opened, to compare with platform::StampOf of its path later.
    const platform::FileStamp& stamp() const { return stamp_; }
    std::uint64_t size() const { return static_cast<std::uint64_t>(stamp_.size); }

private:
    int fd_ = -1;
    platform::FileStamp stamp_;
};

}  // namespace keyindex
