#include "dormix/keyindex/InsertKeyRecord.h"

#include <cstring>
#include <vector>

#include "dormix/keyindex/KeyFile.h"
#include "dormix/keyindex/KeyLookup.h"
#include "dormix/keyindex/KeyRemoval.h"
#include "dormix/keyindex/RemoveKeyRecord.h"
#include "dormix/keyindex/RemoveUserKeys.h"
#include "platform/SafeWrite.h"

namespace keyindex {

namespace {

InsertionResult InsertOnce(const std::string& path, const KeyRecordBytes& record) {
    const auto key = KeyOfRecord(record);
    KeyFile file;
    FilePosition place = 0;
    FilePosition wholeEnd = 0;
    if (file.open(path)) {
        const BlockSearch search = SearchKey(file, key.data());
        if (search.outcome == BlockSearch::Outcome::Found) return InsertionResult::KeyExists;
        if (search.outcome != BlockSearch::Outcome::NotFound) return InsertionResult::Unchanged;
        place = search.slot;
        // Whole records only, as a removal writes them: a short tail is dropped.
        wholeEnd = file.size() / kRecordSize * kRecordSize;
    } else if (platform::StampOf(path).exists) {
        return InsertionResult::Unchanged;  // a folder, a pipe or a file that cannot be opened
    }
    std::vector<KeySpan> spans;
    if (place > 0) spans.push_back({0, place});
    spans.push_back({0, kRecordSize, record.data()});
    if (wholeEnd > place) spans.push_back({place, wholeEnd - place});
    switch (ReplaceKeyFile(file, path, spans)) {
    case RemovalResult::Removed:
        return InsertionResult::Inserted;
    case RemovalResult::FileChanged:
        return InsertionResult::FileChanged;
    case RemovalResult::Unchanged:
        break;
    }
    return InsertionResult::Unchanged;
}

}  // namespace

std::array<char, kKeySize + 1> KeyOfRecord(const KeyRecordBytes& record) {
    std::array<char, kKeySize + 1> key{};
    std::memcpy(key.data(), record.data(), kKeySize);
    return key;
}

InsertionResult InsertKeyRecord(const std::string& path, const KeyRecordBytes& record) {
    return RetryWhileChanged([&] { return InsertOnce(path, record); });
}

std::optional<bool> KeyRecordExists(const std::string& path, const char* key) {
    KeyFile file;
    if (!file.open(path)) return platform::StampOf(path).exists ? std::nullopt : std::optional<bool>(false);
    const BlockSearch search = SearchKey(file, key);
    if (search.outcome == BlockSearch::Outcome::ReadFailed) return std::nullopt;
    return search.outcome == BlockSearch::Outcome::Found;
}

UserKeysInsertion InsertUserKeys(const std::string& installPath, const KeyRecordBytes& userRecord,
                                 const KeyRecordBytes& timeRecord) {
    const std::string userPath = KeyFilePath(installPath, "USER.KEY");
    const std::string timePath = KeyFilePath(installPath, "USERTIME.KEY");
    UserKeysInsertion insertion;
    // Both keys are looked up before either file changes, so that a refusal changes nothing.
    const auto userExists = KeyRecordExists(userPath, KeyOfRecord(userRecord).data());
    const auto timeExists = KeyRecordExists(timePath, KeyOfRecord(timeRecord).data());
    if (userExists.value_or(false)) insertion.user = InsertionResult::KeyExists;
    if (timeExists.value_or(false)) insertion.time = InsertionResult::KeyExists;
    if (!userExists || !timeExists || *userExists || *timeExists) return insertion;

    insertion.time = InsertKeyRecord(timePath, timeRecord);
    if (insertion.time != InsertionResult::Inserted) return insertion;
    insertion.user = InsertKeyRecord(userPath, userRecord);
    if (insertion.user != InsertionResult::Inserted) {
        const KeyRemoval undo = RemoveKeyFromFile(timePath, KeyOfRecord(timeRecord).data());
        if (undo.found && undo.result == RemovalResult::Removed) insertion.time = InsertionResult::Unchanged;
    }
    return insertion;
}

}  // namespace keyindex
