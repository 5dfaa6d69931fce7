#include "dormix/keyindex/RemoveUserKeys.h"

#include "dormix/keyindex/UserKey.h"
#include "platform/Paths.h"

namespace keyindex {

std::string KeyFilePath(const std::string& installPath, const char* fileName) {
    return platform::ResolveCase(installPath + platform::kSepText + "user" + platform::kSepText + fileName);
}

UserKeysRemoval RemoveUserKeysOf(const std::string& installPath, const std::string& userName) {
    UserKeysRemoval removal;
    const std::string key = MakeUserKey(userName);
    removal.user = RemoveKeyFromFile(KeyFilePath(installPath, "USER.KEY"), key.c_str());
    // While "USER.KEY" still holds the record, its "USERTIME.KEY" record must stay too.
    if (removal.userRecordRemoved())
        removal.time = RemoveKeyFromFile(KeyFilePath(installPath, "USERTIME.KEY"), removal.user.value.data());
    return removal;
}

}  // namespace keyindex

void RemoveUserKeys(const std::string& installPath, const std::string& userName) {
    keyindex::RemoveUserKeysOf(installPath, userName);
}
