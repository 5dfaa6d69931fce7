#pragma once
// Putting records back into the key files: a record goes where the block-wise lookup of its key
// ends, so that the lookup finds it and a file kept sorted stays sorted. The file is replaced as a
// removal replaces it: under the folder's lock, through a temporary copy, and only while it is
// still the version that was read.
#include <array>
#include <optional>
#include <string>

#include "dormix/keyindex/KeyRecord.h"

namespace keyindex {

enum class InsertionResult {
    Inserted,     // the record is in the file (made anew when there was none)
    KeyExists,    // the lookup finds a record with that key: nothing was changed
    Unchanged,    // a read or write failed, or the file is not one that can be read: nothing was changed
    FileChanged,  // the file kept changing on disk while the insertion was made: nothing was changed
};

// Inserts the record into the key file at path.
InsertionResult InsertKeyRecord(const std::string& path, const KeyRecordBytes& record);

// Whether the lookup of the record's key finds a record in the file at path (false when there is
// no file); none when the file is there but cannot be read.
std::optional<bool> KeyRecordExists(const std::string& path, const char* key);

struct UserKeysInsertion {
    InsertionResult user = InsertionResult::Unchanged;  // into "USER.KEY"
    InsertionResult time = InsertionResult::Unchanged;  // into "USERTIME.KEY"
    bool done() const { return user == InsertionResult::Inserted && time == InsertionResult::Inserted; }
};

// Puts a user's two records back: the "USERTIME.KEY" record first, so that a "USER.KEY" record is
// never without the record it points to. Nothing is changed when either key is found in its file;
// when the "USER.KEY" record cannot be put in, the "USERTIME.KEY" record is taken out again.
UserKeysInsertion InsertUserKeys(const std::string& installPath, const KeyRecordBytes& userRecord,
                                 const KeyRecordBytes& timeRecord);

// The record's key as a zero-ended text (a key of 128 bytes has no terminator in the record).
std::array<char, kKeySize + 1> KeyOfRecord(const KeyRecordBytes& record);

}  // namespace keyindex
