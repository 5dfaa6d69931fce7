#include "dormix/scan/DeleteDormantAccount.h"

#include "dormix/keyindex/RemoveUserKeys.h"
#include "dormix/scan/DeleteFolderTree.h"
#include "dormix/scan/DeleteTervoxUsers.h"

DeletedAccount DeleteDormantAccount(const AccountJudgement& account, const std::string& installPath,
                                    bool withTervoxUser) {
    DeletedAccount deleted;
    DeleteAccountFolder(account.folder);
    deleted.keysRemoved = RemoveUserKeys(installPath, account.userName);
    if (withTervoxUser) {
        deleted.tervox = DeleteTervoxUsers({account.userName}) ? TervoxOutcome::Removed : TervoxOutcome::Failed;
    }
    return deleted;
}
