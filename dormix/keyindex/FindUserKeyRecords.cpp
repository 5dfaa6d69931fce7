#include "dormix/keyindex/FindUserKeyRecords.h"

#include "dormix/keyindex/KeyFile.h"
#include "dormix/keyindex/KeyLookup.h"
#include "dormix/keyindex/LiveLookup.h"
#include "dormix/keyindex/LiveRecords.h"
#include "dormix/keyindex/OnePassLookup.h"
#include "dormix/keyindex/RemoveKeysFromFile.h"
#include "dormix/keyindex/RemoveUserKeys.h"
#include "dormix/keyindex/UserKey.h"

namespace keyindex {

namespace {

// The record that LookupKey finds for each key; none for a key not found.
std::vector<std::optional<KeyRecordBytes>> FindKeys(const std::string& path, const std::vector<const char*>& keys) {
    std::vector<std::optional<KeyRecordBytes>> found(keys.size());
    KeyFile file;
    if (keys.empty() || !file.open(path)) return found;
    const bool passed = LookUpInOnePass(file, keys, [&](std::size_t j, std::size_t, const char* record) {
        found[j] = RecordBytesAt(record);
        return false;  // nothing is removed
    });
    if (passed) return found;
    // Not sorted: the searches need the whole file at hand.
    found.assign(keys.size(), std::nullopt);
    const auto live = file.size() > kMaxBatchFileBytes ? std::nullopt : ReadLiveRecords(file);
    for (std::size_t j = 0; j < keys.size(); ++j) {
        if (live) {
            std::size_t from = 0;
            if (const auto p = LookupLiveKey(*live, keys[j], from)) found[j] = RecordBytesAt(live->record(*p));
        } else if (const auto hit = LookupKey(file, keys[j])) {
            found[j] = hit->record;
        }
    }
    return found;
}

}  // namespace

std::vector<UserKeyRecords> FindUserKeyRecords(const std::string& installPath, const std::vector<std::string>& userNames) {
    std::vector<std::string> keys;
    keys.reserve(userNames.size());
    for (const std::string& name : userNames) keys.push_back(MakeUserKey(name));
    std::vector<const char*> userKeys;
    for (const std::string& key : keys) userKeys.push_back(key.c_str());
    const auto users = FindKeys(KeyFilePath(installPath, "USER.KEY"), userKeys);

    std::vector<KeyValue> values;
    std::vector<std::size_t> withUser;
    for (std::size_t j = 0; j < users.size(); ++j) {
        if (!users[j]) continue;
        values.push_back(ValueOfRecord(users[j]->data()));
        withUser.push_back(j);
    }
    std::vector<const char*> timeKeys;
    for (const KeyValue& value : values) timeKeys.push_back(value.data());
    const auto times = FindKeys(KeyFilePath(installPath, "USERTIME.KEY"), timeKeys);

    std::vector<UserKeyRecords> records(userNames.size());
    for (std::size_t j = 0; j < users.size(); ++j) records[j].user = users[j];
    for (std::size_t i = 0; i < withUser.size(); ++i) records[withUser[i]].time = times[i];
    return records;
}

}  // namespace keyindex
