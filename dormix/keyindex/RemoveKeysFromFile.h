#pragma once
// Removal of the records of many keys from one key file with one read and one safe write.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dormix/keyindex/KeyRemoval.h"

namespace keyindex {

// Files larger than this are not held in memory; when they are not sorted, their keys are removed
// one at a time.
inline constexpr std::uint64_t kMaxBatchFileBytes = std::uint64_t{1} << 30;

// For tests: a smaller limit, so that the one-at-a-time path runs on a small file; 0 restores
// kMaxBatchFileBytes.
void SetMaxBatchFileBytesForTests(std::uint64_t bytes);

// Told, key by key, what is about to be removed, before the file is replaced; false leaves the
// file as it is.
using BeforeReplace = std::function<bool(const std::vector<KeyRemoval>&)>;

// For each key in order, what RemoveKeyFromFile(path, key) would give if it were called for
// each of them in turn, and the file ends as those calls would leave it. The file is read once
// and written once (or deleted when no record is left), and all of it is redone when the
// file changes on disk in between. A sorted file is read a piece at a time, whatever its size;
// one that is not is held in memory. beforeReplace, when given, is asked before each write, with
// the file closed, so that it may write files of its own meanwhile. A file too large to hold is
// looked through first and beforeReplace asked once for all of its keys; each key's record is then
// removed on its own, and only while it still holds the value that beforeReplace was told (files
// not sorted only).
std::vector<KeyRemoval> RemoveKeysFromFile(const std::string& path, const std::vector<const char*>& keys,
                                           const BeforeReplace& beforeReplace = {});

// For each key, whether the file holds its record and the record's value; nothing is removed.
std::vector<KeyRemoval> LookUpKeys(const std::string& path, const std::vector<const char*>& keys);

inline bool AnyFound(const std::vector<KeyRemoval>& removals) {
    for (const KeyRemoval& removal : removals)
        if (removal.found) return true;
    return false;
}

}  // namespace keyindex
