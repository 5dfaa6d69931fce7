#include "dormix/keyindex/RemoveKeyRecord.h"

#include <algorithm>
#include <vector>

#include "platform/FileOps.h"
#include "platform/FolderLock.h"
#include "platform/Paths.h"
#include "platform/SafeWrite.h"

namespace keyindex {

namespace {

constexpr std::size_t kCopyChunk = std::size_t{1} << 20;

enum class CopyResult { Copied, Failed, FileShrank };

// Copies length bytes from offset of the key file to the end of out, a chunk at a time.
CopyResult CopyRange(const KeyFile& file, FilePosition offset, std::uint64_t length,
                     platform::AtomicFile& out, std::vector<char>& buffer) {
    while (length > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(length, buffer.size()));
        const long long got = file.readAt(offset, buffer.data(), want);
        if (got < 0) return CopyResult::Failed;
        if (static_cast<std::size_t>(got) < want) return CopyResult::FileShrank;
        if (!out.write(buffer.data(), want)) return CopyResult::Failed;
        offset += want;
        length -= want;
    }
    return CopyResult::Copied;
}

// The records before position, then tailBytes from the record after it.
CopyResult CopyWithoutRecord(const KeyFile& file, FilePosition position, std::uint64_t tailBytes,
                             platform::AtomicFile& out) {
    std::vector<char> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(kCopyChunk, file.size())));
    const CopyResult head = CopyRange(file, 0, position, out, buffer);
    if (head != CopyResult::Copied) return head;
    return CopyRange(file, position + kRecordSize, tailBytes, out, buffer);
}

bool StillAsRead(const KeyFile& file, const std::string& path) { return platform::StampOf(path) == file.stamp(); }

// The file holds just the record to remove: the removal deletes it.
RemovalResult DeleteSoleRecordFile(KeyFile& file, const std::string& path) {
    file.close();
    if (!StillAsRead(file, path)) return RemovalResult::FileChanged;
    return platform::DeleteFile(path) == 0 ? RemovalResult::Removed : RemovalResult::Unchanged;
}

}  // namespace

RemovalResult RemoveRecordFromOpenFile(KeyFile& file, const std::string& path, FilePosition position) {
    // Another Dormix may replace the same key file: from the check that the file is still as read
    // to the rename, only one of them works on the folder, so neither replaces the other's result.
    const platform::FolderLock lock(platform::DirectoryOf(path), platform::FolderLock::Wait::Yes);
    const std::uint64_t size = file.size();
    if (position % kRecordSize != 0) {
        file.close();
        return RemovalResult::Unchanged;
    }
    if (position + kRecordSize > size) {
        // No such record in the file as it was opened; it may have grown since.
        file.close();
        return StillAsRead(file, path) ? RemovalResult::Unchanged : RemovalResult::FileChanged;
    }
    if (size == kRecordSize && position == 0) return DeleteSoleRecordFile(file, path);

    // Whole records only: a short tail after the last record is dropped.
    const std::uint64_t tailBytes = (size - position - kRecordSize) / kRecordSize * kRecordSize;
    if (position + tailBytes == 0) {
        file.close();
        return RemovalResult::Unchanged;  // the copy would be empty
    }

    platform::AtomicFile out(path, "VT");
    if (!out.isOpen()) {
        file.close();
        return RemovalResult::Unchanged;
    }
    const CopyResult copied = CopyWithoutRecord(file, position, tailBytes, out);
    file.close();
    if (copied != CopyResult::Copied) {
        out.discard();
        return copied == CopyResult::FileShrank ? RemovalResult::FileChanged : RemovalResult::Unchanged;
    }
    if (!StillAsRead(file, path)) {
        out.discard();
        return RemovalResult::FileChanged;
    }
    // Making the copy safe on disk takes a moment in which the web-mail product may write the
    // key file; the copy replaces it only if it is still the version that was read.
    out.expectTarget(file.stamp());
    const platform::ErrorCode committed = out.commit();
    if (committed == platform::kTargetChanged) return RemovalResult::FileChanged;
    return committed == 0 ? RemovalResult::Removed : RemovalResult::Unchanged;
}

RemovalResult RemoveKeyRecord(const std::string& path, FilePosition position) {
    KeyFile file;
    if (!file.open(path)) return RemovalResult::Unchanged;
    return RemoveRecordFromOpenFile(file, path, position);
}

}  // namespace keyindex
