#include "dormix/keyindex/RemoveKeyRecord.h"

#include "platform/FileOps.h"
#include "platform/FolderLock.h"
#include "platform/Paths.h"
#include "platform/SafeWrite.h"

namespace keyindex {

namespace {

bool StillAsRead(const KeyFile& file, const std::string& path) { return platform::StampOf(path) == file.stamp(); }

// Unchanged, telling the caller why when it asked.
RemovalResult Failed(platform::ErrorCode code, platform::ErrorCode* error) {
    if (error) *error = code;
    return RemovalResult::Unchanged;
}

// A span shorter than this costs more as a system call of its own than as a copy in memory, so
// short spans held in memory are gathered into writes of about a mebibyte.
constexpr std::uint64_t kShortSpan = std::uint64_t{256} << 10;
constexpr std::size_t kGatheredBytes = std::size_t{1} << 20;

// Copies the spans of the key file to out; kSourceEnded when the file turned out shorter.
platform::ErrorCode CopySpans(const KeyFile& file, const std::vector<KeySpan>& spans, const char* held,
                              platform::AtomicFile& out) {
    std::string gathered;
    const auto flush = [&] {
        const bool written = gathered.empty() || out.write(gathered);
        gathered.clear();
        return written;
    };
    for (const KeySpan& span : spans) {
        const char* inMemory = span.bytes ? span.bytes : held && span.length < kShortSpan ? held + span.offset : nullptr;
        if (inMemory) {
            gathered.append(inMemory, static_cast<std::size_t>(span.length));
            if (gathered.size() >= kGatheredBytes && !flush()) return out.error();
        } else if (!flush() || !out.copyFrom(file.descriptor(), span.offset, span.length)) {
            return out.error();
        }
    }
    return flush() ? 0 : out.error();
}

}  // namespace

RemovalResult DeleteKeyFile(KeyFile& file, const std::string& path, platform::ErrorCode* error) {
    const platform::FolderLock lock(platform::DirectoryOf(path), platform::FolderLock::Wait::Yes);
    file.close();
    if (!StillAsRead(file, path)) return RemovalResult::FileChanged;
    const platform::ErrorCode deleted = platform::DeleteFile(path);
    return deleted == 0 ? RemovalResult::Removed : Failed(deleted, error);
}

RemovalResult ReplaceKeyFile(KeyFile& file, const std::string& path, const std::vector<KeySpan>& spans,
                             const char* held, platform::ErrorCode* error) {
    // Another Dormix may replace the same key file: from the check that the file is still as read
    // to the rename, only one of them works on the folder, so neither replaces the other's result.
    const platform::FolderLock lock(platform::DirectoryOf(path), platform::FolderLock::Wait::Yes);
    platform::AtomicFile out(path, "VT");
    if (!out.isOpen()) {
        file.close();
        return Failed(out.error(), error);
    }
    const platform::ErrorCode copied = CopySpans(file, spans, held, out);
    file.close();
    if (copied != 0) {
        out.discard();
        return copied == platform::kSourceEnded ? RemovalResult::FileChanged : Failed(copied, error);
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
    return committed == 0 ? RemovalResult::Removed : Failed(committed, error);
}

RemovalResult RemoveRecordFromOpenFile(KeyFile& file, const std::string& path, FilePosition position,
                                       platform::ErrorCode* error) {
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
    // The file holds just the record to remove: the removal deletes it.
    if (size == kRecordSize && position == 0) return DeleteKeyFile(file, path, error);

    // Whole records only: a short tail after the last record is dropped.
    const std::uint64_t tailBytes = (size - position - kRecordSize) / kRecordSize * kRecordSize;
    if (position + tailBytes == 0) {
        file.close();
        return RemovalResult::Unchanged;  // the copy would be empty
    }
    return ReplaceKeyFile(file, path, {{0, position}, {position + kRecordSize, tailBytes}}, nullptr, error);
}

RemovalResult RemoveKeyRecord(const std::string& path, FilePosition position) {
    KeyFile file;
    if (!file.open(path)) return RemovalResult::Unchanged;
    return RemoveRecordFromOpenFile(file, path, position);
}

}  // namespace keyindex
