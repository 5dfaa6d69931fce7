#include "dormix/scan/DeleteDormantAccount.h"

#include "dormix/keyindex/RemoveUserKeys.h"
#include "dormix/scan/FolderUserName.h"
#include "platform/FolderRemoval.h"

AccountDeletion DeleteDormantAccount(const std::string& folder, const std::string& installPath, bool withTervoxUser) {
    AccountDeletion result;
    platform::FolderRemoval account(folder);
    // "user.ini" goes last: while it is there, the account is still found as the same dormant one.
    if (!account.removeAllBut("user.ini")) return result;
    if (NamesAUser(folder)) {
        const std::string userName = FolderUserName(folder);
        if (RemoveUserKeys(installPath, userName) == UserKeysRemoval::KeptChanging) {
            result.logReason = LogReason::KeysKeptChanging;
            return result;
        }
        if (withTervoxUser) result.tervox = DeleteTervoxUsers({userName});
    }
    result.deleted = account.removeRest();
    return result;
}
