#pragma once
// Removal of one record from a key file. The copy without the record is written beside the
// key file and renamed over it only when it was written whole, and only when the key file on
// disk is still the version that was read; otherwise the key file is left as it was.
#include <string>

#include "dormix/keyindex/KeyFile.h"
#include "dormix/keyindex/KeyRecord.h"

namespace keyindex {

enum class RemovalResult {
    Removed,      // the record is gone (the file deleted when it held only that record)
    Unchanged,    // nothing was replaced: a read or write failed, or the copy would be empty
    FileChanged,  // the file changed on disk since it was read; nothing was replaced
};

// Removes the record at position from the key file opened as `file` from path. Closes `file`.
RemovalResult RemoveRecordFromOpenFile(KeyFile& file, const std::string& path, FilePosition position);

// Opens the file at path and removes the record at position; nothing when the file cannot be
// opened or the position is not that of a whole record in it. Without the key there is nothing
// to look up again, so a file that changes meanwhile is simply left as it is.
RemovalResult RemoveKeyRecord(const std::string& path, FilePosition position);

}  // namespace keyindex
