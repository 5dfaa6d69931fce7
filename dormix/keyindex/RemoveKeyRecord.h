#pragma once
// Removal of records from a key file. The copy without them is written beside the key file and
// renamed over it only when it was written whole, and only when the key file on disk is still
// the version that was read; otherwise the key file is left as it was.
#include <cstdint>
#include <string>
#include <vector>

#include "dormix/keyindex/KeyFile.h"
#include "dormix/keyindex/KeyRecord.h"

namespace keyindex {

enum class RemovalResult {
    Removed,      // the record is gone (the file deleted when it held only that record)
    Unchanged,    // nothing was replaced: a read or write failed, or the copy would be empty
    FileChanged,  // the file changed on disk since it was read; nothing was replaced
};

// A run of bytes of the key file as it was opened, or, when bytes is set, length bytes from there
// (a record that is put into the file).
struct KeySpan {
    FilePosition offset = 0;
    std::uint64_t length = 0;
    const char* bytes = nullptr;
};

// Replaces the key file opened as `file` from path by the spans of it, in order, through a
// temporary "VT" file in its folder. held, when not null, holds the file's bytes as read: short
// spans are then written from there. Closes `file`. error, when not null, is given the system's
// error when a write failed (Unchanged). A file never opened stands for one that does not exist:
// the spans must then all carry their bytes, and the file is made only if still absent.
RemovalResult ReplaceKeyFile(KeyFile& file, const std::string& path, const std::vector<KeySpan>& spans,
                             const char* held = nullptr, platform::ErrorCode* error = nullptr);

// Deletes the key file opened as `file` from path, whose records are all removed, if it is still
// the version that was read. Closes `file`.
RemovalResult DeleteKeyFile(KeyFile& file, const std::string& path, platform::ErrorCode* error = nullptr);

// Removes the record at position from the key file opened as `file` from path. Closes `file`.
RemovalResult RemoveRecordFromOpenFile(KeyFile& file, const std::string& path, FilePosition position,
                                       platform::ErrorCode* error = nullptr);

// Opens the file at path and removes the record at position; nothing when the file cannot be
// opened or the position is not that of a whole record in it. Without the key there is nothing
// to look up again, so a file that changes meanwhile is simply left as it is.
RemovalResult RemoveKeyRecord(const std::string& path, FilePosition position);

}  // namespace keyindex
