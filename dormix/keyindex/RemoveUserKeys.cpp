#include "dormix/keyindex/RemoveUserKeys.h"

#include "dormix/keyindex/KeyRemoval.h"
#include "dormix/keyindex/UserKey.h"
#include "platform/Paths.h"

namespace {

// The key files lie beside the account folders; the names are found without regard to case.
std::string KeyFilePath(const std::string& installPath, const char* fileName) {
    return platform::ResolveCase(installPath + platform::kSepText + "USER" + platform::kSepText + fileName);
}

}  // namespace

bool RemoveUserKeys(const std::string& installPath, const std::string& userName) {
    using namespace keyindex;
    const std::string key = MakeUserKey(userName);
    const KeyRemoval user = RemoveKeyFromFile(KeyFilePath(installPath, "USER.KEY"), key.c_str());
    // While "USER.KEY" still holds the record, its "USERTIME.KEY" record must stay too.
    if (!user.found || user.result != RemovalResult::Removed) return false;
    const KeyRemoval time = RemoveKeyFromFile(KeyFilePath(installPath, "USERTIME.KEY"), user.value.data());
    return time.found && time.result == RemovalResult::Removed;
}
