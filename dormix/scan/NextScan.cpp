#include "dormix/scan/NextScan.h"

#include <unordered_set>

#include "dormix/scan/CheckUserFolder.h"
#include "dormix/scan/FolderUserName.h"
#include "dormix/scan/LastLogon.h"
#include "dormix/scan/PendingDeletions.h"
#include "platform/FileOps.h"

namespace {

// The pending accounts as the scan takes them up: an account protected meanwhile is left alone,
// and one whose folder is gone was finished whole before the run was ended (the folder goes last).
void TakePending(const PendingBatch& batch, const ProtectedAccounts& protectedAccounts, std::time_t now,
                 NextScan& next) {
    for (const PendingAccount& account : batch.accounts) {
        AccountJudgement judged;
        judged.folder = account.folder;
        judged.userName = FolderUserName(account.folder);
        if (protectedAccounts.covers(judged.userName) || !platform::PathExists(account.folder)) continue;
        judged.verdict = Verdict::Dormant;
        judged.lastLogon = account.lastLogon;
        if (account.lastLogon) judged.daysSince = AgeInDays(now, *account.lastLogon);
        next.pending.push_back(std::move(judged));
    }
}

}  // namespace

NextScan JudgeNextScan(std::int32_t days, const DormixPaths& paths, const ProtectedAccounts& protectedAccounts,
                       std::time_t now) {
    NextScan next;
    next.problem = LogFileProblem(paths);
    const std::string pendingPath = PendingDeletionsPath(paths.installPath);
    PendingBatch batch;
    if (next.problem.empty()) {
        switch (ReadPendingDeletions(pendingPath, paths.userFolderPattern, batch)) {
            case PendingRead::None:
                break;
            case PendingRead::Unreadable:
                next.problem = PendingUnreadableText(pendingPath);
                break;
            case PendingRead::Found:
                TakePending(batch, protectedAccounts, now, next);
                break;
        }
    }
    next.accounts = JudgeAccounts(days, paths, protectedAccounts, now);
    std::unordered_set<std::string> pendingFolders;
    for (const AccountJudgement& account : next.pending) pendingFolders.insert(account.folder);
    std::erase_if(next.accounts,
                  [&](const AccountJudgement& account) { return pendingFolders.count(account.folder) > 0; });
    return next;
}
