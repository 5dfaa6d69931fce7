#include "dormix/scan/DeleteDormantAccount.h"

#include "dormix/keyindex/RemoveUserKeys.h"
#include "dormix/scan/FolderUserName.h"
#include "platform/FolderRemoval.h"

DeletedAccount DeleteDormantAccount(const AccountJudgement& account, const std::string& installPath,
                                    bool withTervoxUser) {
    DeletedAccount result;
    platform::FolderRemoval folder(account.folder);
    // "user.ini" goes last: while it is there, the account is still found as the same dormant one.
    if (!folder.removeAllBut("user.ini")) return result;
    if (NamesAUser(account.folder)) {
        const keyindex::UserKeysRemoval keys = keyindex::RemoveUserKeysOf(installPath, account.userName);
        if (keys.fileKeptChanging()) {
            result.logReason = LogReason::KeysKeptChanging;
            return result;
        }
        result.keysRemoved = keys.userRecordRemoved() && keys.timeRecordRemoved();
        if (withTervoxUser) {
            result.tervox = DeleteTervoxUsers({account.userName});
            result.tervoxOutcome = result.tervox.failed > 0 ? TervoxOutcome::Failed : TervoxOutcome::Removed;
        }
    }
    result.deleted = folder.removeRest();
    return result;
}
