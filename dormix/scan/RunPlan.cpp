#include "dormix/scan/RunPlan.h"

#include <unordered_set>

#include "common/VeltaSettings.h"
#include "dormix/quarantine/GraceDays.h"
#include "dormix/quarantine/Quarantine.h"
#include "dormix/scan/CheckUserFolder.h"
#include "dormix/scan/DeleteDormantAccount.h"
#include "dormix/scan/LastLogon.h"
#include "dormix/scan/PendingDeletions.h"

namespace {

// The pending accounts as the scan takes them up: an account protected meanwhile is left alone,
// and only what the interrupted batch had begun and what is still dormant under its threshold is
// finished, by the rule the scan itself finishes them with.
void TakePending(const PendingBatch& batch, std::int32_t days, const ProtectedAccounts& protectedAccounts,
                 std::time_t now, RunPlan& next) {
    for (const BatchMember& member : PendingMembers(batch, batch.days.value_or(days), now)) {
        if (!member.inHand || protectedAccounts.covers(member.account.userName)) continue;
        AccountJudgement judged = member.account;
        judged.verdict = Verdict::Dormant;
        if (judged.lastLogon) judged.daysSince = AgeInDays(now, *judged.lastLogon);
        next.pending.push_back(std::move(judged));
    }
}

}  // namespace

RunSettings ReadRunSettings(const std::string& installPath, std::int32_t days, std::time_t now,
                            DeletionWarnings* warnings) {
    RunSettings settings;
    settings.graceDays = ReadGraceDays();
    if (!settings.graceDays) settings.graceProblem = GraceDaysUnreadableText(ReadVeltaSetting("DORMIX", "GRACEDAYS"));
    if (warnings) settings.warnProblem = warnings->prepare(installPath, days, now);
    return settings;
}

RunPlan PlanRun(std::int32_t days, const DormixPaths& paths, const ProtectedAccounts& protectedAccounts,
                std::time_t now, DeletionWarnings* warnings, AccountAges* ages) {
    return PlanRun(days, paths, protectedAccounts, now, ReadRunSettings(paths.installPath, days, now, warnings),
                   warnings, ages, nullptr);
}

RunPlan PlanRun(std::int32_t days, const DormixPaths& paths, const ProtectedAccounts& protectedAccounts,
                std::time_t now, const RunSettings& settings, DeletionWarnings* warnings, AccountAges* ages,
                ScanProgress* progress) {
    RunPlan next;
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
                TakePending(batch, days, protectedAccounts, now, next);
                break;
        }
    }
    if (const std::optional<int> graceDays = settings.graceDays; !graceDays) {
        if (next.problem.empty()) next.problem = settings.graceProblem;
    } else {
        // Whatever the period is now: each account keeps the period it was quarantined under.
        next.graceDays = *graceDays;
        if (*graceDays > 0) next.restorableUntil = PurgeDay(DayOfRun(now), *graceDays);
        next.quarantined = ListQuarantine(paths.installPath);
        for (const QuarantineEntry& entry : next.quarantined) next.purgeDays.push_back(EntryPurgeDay(entry, *graceDays));
        next.due = ExpiredEntries(next.quarantined, *graceDays, now);
        // The checks the purge makes of each entry right before it, so that a refused one is not
        // promised as a purge.
        QuarantineEvents events;
        events.isProtected = [&protectedAccounts](const std::string& name) { return protectedAccounts.covers(name); };
        std::erase_if(next.due, [&](QuarantineEntry& entry) {
            std::string why = EntryDisagreement(paths.installPath, entry, events);
            if (why.empty()) return false;
            next.notPurged.emplace_back(std::move(entry), std::move(why));
            return true;
        });
    }
    // An account that is only kept is not shown: with a million accounts only those shown are held.
    const std::string& warnProblem = settings.warnProblem;
    int read = 0;
    JudgedAccounts judged = JudgeAccounts(days, paths, protectedAccounts, now, [&](const AccountJudgement& account) {
        if (ages) ages->count(account);
        if (progress) progress->reading(++read);
        return account.verdict != Verdict::Kept || (warnings && warnProblem.empty() && warnings->concerns(account, now));
    }, JudgingWork{DefaultJudgingThreads(), [&] { return progress && (next.stopped = progress->stopRequested()); }});
    next.accounts = std::move(judged.kept);
    next.unlisted = std::move(judged.problem);
    if (!next.unlisted.empty()) next.problem = next.unlisted;  // before any other: no account list stands
    std::unordered_set<std::string> pendingFolders;
    for (const AccountJudgement& account : next.pending) pendingFolders.insert(account.folder);
    std::erase_if(next.accounts,
                  [&](const AccountJudgement& account) { return pendingFolders.count(account.folder) > 0; });
    // The pending accounts are finished before the scan plans its warnings, so they have no part in them.
    if (warnings) {
        if (next.problem.empty()) next.problem = warnProblem;
        if (warnProblem.empty()) warnings->plan(next.accounts, now);
        next.toWarn = warnings->toWarn();
    }
    if (ages) {
        ages->days = days;
        ages->toDelete = next.toDelete();
    }
    return next;
}
