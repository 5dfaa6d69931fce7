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

std::vector<UserKeysRemoval> RemoveOneAtATime(const std::string& installPath,
                                              const std::vector<std::string>& userNames) {
    std::vector<UserKeysRemoval> removals;
    removals.reserve(userNames.size());
    for (const std::string& name : userNames) removals.push_back(RemoveUserKeysOf(installPath, name));
    return removals;
}

}  // namespace

std::vector<UserKeysRemoval> RemoveUserKeysBatch(const std::string& installPath, const std::vector<std::string>& userNames,
                                                 const BatchJournal& journal) {
    const std::string userPath = KeyFilePath(installPath, "USER.KEY");
    const std::string timePath = KeyFilePath(installPath, "USERTIME.KEY");
    if (SameFile(userPath, timePath)) return RemoveOneAtATime(installPath, userNames);

    std::vector<std::string> keys;
    keys.reserve(userNames.size());
    for (const std::string& name : userNames) keys.push_back(MakeUserKey(name));
    std::vector<const char*> userKeys;
    for (const std::string& key : keys) userKeys.push_back(key.c_str());

    std::vector<UserKeysRemoval> removals(userNames.size());
    const std::vector<KeyRemoval> fromUserFile = RemoveKeysFromFile(userPath, userKeys, journal.beforeUserFileReplaced);
    // While "USER.KEY" still holds a user's record, its "USERTIME.KEY" record must stay too.
    std::vector<std::size_t> gone;
    std::vector<const char*> timeKeys;
    for (std::size_t j = 0; j < userNames.size(); ++j) {
        removals[j].user = fromUserFile[j];
        const bool known = j < journal.knownTimeKeys.size() && journal.knownTimeKeys[j] && !removals[j].user.found &&
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
