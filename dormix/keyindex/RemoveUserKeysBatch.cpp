#include "dormix/keyindex/RemoveUserKeysBatch.h"

#include "dormix/keyindex/RemoveKeysFromFile.h"
#include "dormix/keyindex/UserKey.h"
#include "platform/SafeWrite.h"

namespace keyindex {

namespace {

// Two names of one file: each user's removal then changes what the next one finds in the other
// file, so only the removals one user at a time give the same files.
bool SameFile(const std::string& a, const std::string& b) {
    const platform::FileStamp x = platform::StampOf(a);
    return x.exists && x.inode == platform::StampOf(b).inode;
}

std::optional<KeyValue> KnownTimeKey(const BatchJournal& journal, std::size_t j) {
    return j < journal.knownTimeKeys.size() ? journal.knownTimeKeys[j] : std::nullopt;
}

// The journal is told what "USER.KEY" will lose before the first record goes; a user whose record
// is gone already loses its "USERTIME.KEY" record by the known value.
std::vector<UserKeysRemoval> RemoveOneAtATime(const std::string& installPath, const std::vector<std::string>& userNames,
                                              const std::vector<const char*>& userKeys, const BatchJournal& journal) {
    std::vector<UserKeysRemoval> removals(userNames.size());
    if (journal.beforeUserFileReplaced) {
        const std::vector<KeyRemoval> planned = LookUpKeys(KeyFilePath(installPath, "USER.KEY"), userKeys);
        if (AnyFound(planned) && !journal.beforeUserFileReplaced(planned)) {
            for (std::size_t j = 0; j < planned.size(); ++j) removals[j].user = planned[j];
            return removals;
        }
    }
    for (std::size_t j = 0; j < userNames.size(); ++j) {
        removals[j] = RemoveUserKeysOf(installPath, userNames[j]);
        const std::optional<KeyValue> known = KnownTimeKey(journal, j);
        if (!removals[j].user.found && known)
            removals[j].time = RemoveKeyFromFile(KeyFilePath(installPath, "USERTIME.KEY"), known->data());
    }
    return removals;
}

}  // namespace

std::vector<UserKeysRemoval> RemoveUserKeysBatch(const std::string& installPath, const std::vector<std::string>& userNames,
                                                 const BatchJournal& journal) {
    const std::string userPath = KeyFilePath(installPath, "USER.KEY");
    const std::string timePath = KeyFilePath(installPath, "USERTIME.KEY");
    std::vector<std::string> keys;
    keys.reserve(userNames.size());
    for (const std::string& name : userNames) keys.push_back(MakeUserKey(name));
    std::vector<const char*> userKeys;
    for (const std::string& key : keys) userKeys.push_back(key.c_str());
    if (SameFile(userPath, timePath)) return RemoveOneAtATime(installPath, userNames, userKeys, journal);

    // What the journal could not write down is not done, in either file.
    bool refused = false;
    BeforeReplace ask;
    if (journal.beforeUserFileReplaced) {
        ask = [&](const std::vector<KeyRemoval>& planned) {
            refused = !journal.beforeUserFileReplaced(planned);
            return !refused;
        };
    }
    std::vector<UserKeysRemoval> removals(userNames.size());
    const std::vector<KeyRemoval> fromUserFile = RemoveKeysFromFile(userPath, userKeys, ask);
    if (refused) {
        for (std::size_t j = 0; j < userNames.size(); ++j) removals[j].user = fromUserFile[j];
        return removals;
    }
    // While "USER.KEY" still holds a user's record, its "USERTIME.KEY" record must stay too.
    std::vector<std::size_t> gone;
    std::vector<const char*> timeKeys;
    for (std::size_t j = 0; j < userNames.size(); ++j) {
        removals[j].user = fromUserFile[j];
        const bool known = KnownTimeKey(journal, j) && !removals[j].user.found &&
                           removals[j].user.result != RemovalResult::FileChanged;
        if (!removals[j].userRecordRemoved() && !known) continue;
        gone.push_back(j);
        timeKeys.push_back(known ? journal.knownTimeKeys[j]->data() : removals[j].user.value.data());
    }
    const std::vector<KeyRemoval> fromTimeFile = RemoveKeysFromFile(timePath, timeKeys);
    for (std::size_t i = 0; i < gone.size(); ++i) removals[gone[i]].time = fromTimeFile[i];
    return removals;
}

}  // namespace keyindex
