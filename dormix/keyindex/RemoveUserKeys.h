#pragma once
#include <string>

#include "dormix/keyindex/KeyRemoval.h"

// Removes the user's record from "USER.KEY" and then the record it points to from
// "USERTIME.KEY", both in the installation's user folder. Reports nothing.
void RemoveUserKeys(const std::string& installPath, const std::string& userName);

namespace keyindex {

// The path of a key file of the installation: beside the account folders, in the folder spelled
// as the account search spells it, so that both find the same folder when several differ only in
// letter case; the names are found without regard to case, the exact spelling first.
std::string KeyFilePath(const std::string& installPath, const char* fileName);

// What became of one user's key records.
struct UserKeysRemoval {
    KeyRemoval user;  // from "USER.KEY"
    KeyRemoval time;  // from "USERTIME.KEY"; tried only when the user's record went
    bool userRecordRemoved() const { return user.found && user.result == RemovalResult::Removed; }
    bool timeRecordRemoved() const { return time.found && time.result == RemovalResult::Removed; }
    // A key file kept changing under the removal and was left as it was.
    bool fileKeptChanging() const {
        return user.result == RemovalResult::FileChanged || time.result == RemovalResult::FileChanged;
    }
};

// RemoveUserKeys, telling what it removed.
UserKeysRemoval RemoveUserKeysOf(const std::string& installPath, const std::string& userName);

}  // namespace keyindex
