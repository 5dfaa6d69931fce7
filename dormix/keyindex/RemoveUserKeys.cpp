#include "dormix/keyindex/RemoveUserKeys.h"

#include "dormix/keyindex/KeyRemoval.h"
#include "dormix/keyindex/UserKey.h"
#include "platform/Paths.h"

namespace {

// The key files lie beside the account folders, in the folder spelled as the account search
// spells it, so that both find the same folder when several differ only in letter case; the
// names are found without regard to case, the exact spelling first.
std::string KeyFilePath(const std::string& installPath, const char* fileName) {
    return platform::ResolveCase(installPath + platform::kSepText + "user" + platform::kSepText + fileName);
}

UserKeysRemoval Outcome(const keyindex::KeyRemoval& removal) {
    if (removal.result == keyindex::RemovalResult::FileChanged) return UserKeysRemoval::KeptChanging;
    return removal.found && removal.result == keyindex::RemovalResult::Removed ? UserKeysRemoval::Removed
                                                                               : UserKeysRemoval::NotRemoved;
}

}  // namespace

UserKeysRemoval RemoveUserKeys(const std::string& installPath, const std::string& userName) {
    using namespace keyindex;
    const std::string key = MakeUserKey(userName);
    const KeyRemoval user = RemoveKeyFromFile(KeyFilePath(installPath, "USER.KEY"), key.c_str());
    // While "USER.KEY" still holds the record, its "USERTIME.KEY" record must stay too.
    if (Outcome(user) != UserKeysRemoval::Removed) return Outcome(user);
    return Outcome(RemoveKeyFromFile(KeyFilePath(installPath, "USERTIME.KEY"), user.value.data()));
}
