#pragma once
// Finding a key's record and removing it from one key file, read again and redone when the
// web-mail product changes the file in between.
#include <string>

#include "dormix/keyindex/KeyRecord.h"
#include "dormix/keyindex/RemoveKeyRecord.h"

namespace keyindex {

// How often a removal is redone after the file changed under it before the file is left alone.
inline constexpr int kMaxRedos = 3;

// Runs attempt, and again while it reports FileChanged, at most kMaxRedos more times; the
// last attempt's result. Serves every change of a key file whose result knows FileChanged.
template <typename Attempt>
auto RetryWhileChanged(const Attempt& attempt) {
    auto result = attempt();
    for (int redo = 0; redo < kMaxRedos && result == decltype(result)::FileChanged; ++redo) result = attempt();
    return result;
}

struct KeyRemoval {
    bool found = false;                             // the key's record was there to remove
    RemovalResult result = RemovalResult::Unchanged;  // meaningful when found
    KeyValue value{};                               // the record's value, when found
    KeyRecordBytes record{};                        // the whole record, when found
    platform::ErrorCode error = 0;                  // why a found record stayed Unchanged, when known
};

// Opens the key file at path, looks key up and removes its record. Not found when the file
// cannot be opened, a read fails or no record has the key. With expected, a record of another
// value is left as it is (FileChanged): the caller recorded that value before the removal.
KeyRemoval RemoveKeyFromFile(const std::string& path, const char* key, const KeyValue* expected = nullptr);

}  // namespace keyindex
