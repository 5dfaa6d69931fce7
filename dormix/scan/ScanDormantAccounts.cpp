#include "dormix/scan/ScanDormantAccounts.h"

#include <algorithm>
#include <string>
#include <vector>

#include "dormix/scan/AccountLog.h"
#include "dormix/scan/AuditLog.h"
#include "dormix/scan/CheckUserFolder.h"
#include "dormix/scan/DeleteDormantAccount.h"
#include "dormix/scan/FolderUserName.h"
#include "dormix/scan/JudgeAccounts.h"
#include "dormix/scan/PendingDeletions.h"
#include "dormix/scan/ProtectedAccounts.h"
#include "dormix/scan/RunRecord.h"
#include "dormix/scan/ScanReport.h"
#include "platform/FolderLock.h"
#include "platform/TextMode.h"

namespace {

using platform::Answer;

// The one question of a scan, asked at the first dormant account; a box that could not be
// shown leaves it to be asked again at the next.
class TervoxQuestion {
public:
    explicit TervoxQuestion(platform::MessageBoxes& boxes) : boxes_(boxes) {}

    Answer answer() {
        if (!firstDormant_) return remembered_;
        remembered_ = boxes_.show("Would you like to delete the associated Tervox account(s) also?",
                                  "Select Account(s) To Be Deleted", platform::Buttons::YesNoCancel,
                                  platform::Severity::Question);
        if (remembered_ == Answer::Yes || remembered_ == Answer::No) firstDormant_ = false;
        return remembered_;
    }

private:
    platform::MessageBoxes& boxes_;
    bool firstDormant_ = true;
    Answer remembered_ = Answer::Failed;
};

// What the scan did, gathered into its report as it goes.
class ScanState {
public:
    ScanState(const DormixPaths& paths, const RunIdentity& run)
        : paths_(paths),
          files_{paths.installPath, AuditLogPath(paths.installPath), PendingDeletionsPath(paths.installPath), run} {
        report_.logPath = paths.logPath;
    }

    const BatchFiles& files() const { return files_; }
    ScanReport& report() { return report_; }

    // Ends the scan with problem, which a front end shows under caption; always false.
    bool refuse(const std::string& problem, const std::string& caption = {}) {
        const bool touched = report_.taken > 0 || !report_.deleted.empty() || !report_.notDeleted.empty();
        report_.end = touched ? ScanEnd::Broken : ScanEnd::Refused;
        report_.problem = problem;
        report_.problemCaption = caption;
        return false;
    }
    bool cannotWrite(const std::string& path) { return refuse(UnableToCreateFileText(path)); }

    // Counts what went and what could not; false when the batch had to stop the scan. pending:
    // the members are those of an interrupted run.
    bool take(const BatchResult& result, const std::vector<BatchMember>& members, bool pending) {
        tervoxFailures_.add(result.tervox);
        if (tervoxFailures_.any()) {
            report_.tervoxFailed = tervoxFailures_.accounts();
            report_.tervoxText = tervoxFailures_.text();
        }
        if (!pending) report_.taken += static_cast<int>(members.size());
        for (const BatchMember& member : members) {
            if (member.deleted.deleted) {
                report_.deleted.push_back(member.account);
                report_.pendingFinished += pending;
            }
            if (member.deleted.logReason)
                report_.notDeleted.push_back(
                    {member.account.userName, member.account.folder, LogReasonText(*member.deleted.logReason)});
        }
        if (result.end == BatchEnd::AuditFailed) return cannotWrite(files_.auditPath);
        if (result.end == BatchEnd::PendingFailed) return cannotWrite(files_.pendingPath);
        return true;
    }

    bool log(const std::string& userName, LogReason reason) {
        return LogAccount(paths_.logPath, userName, reason) || cannotWrite(paths_.logPath);
    }

    bool cancel() {
        report_.end = ScanEnd::Cancelled;
        return true;
    }

    bool finish(bool stopped) {
        if (stopped) report_.end = ScanEnd::Stopped;
        else if (report_.deleted.empty() && report_.notDeleted.empty()) report_.end = ScanEnd::NothingFound;
        else report_.end = ScanEnd::Done;
        return true;
    }

private:
    const DormixPaths& paths_;
    BatchFiles files_;
    ScanReport report_;
    TervoxFailures tervoxFailures_;
};

// Finishes the batch that a scan ended in the middle of. An account protected meanwhile is left
// as it is. False (the report saying why) when it cannot be read or finished.
bool FinishPending(const DormixPaths& paths, const ProtectedAccounts& protectedAccounts, ScanState& state,
                   ScanProgress& progress) {
    PendingBatch pending;
    switch (ReadPendingDeletions(state.files().pendingPath, paths.userFolderPattern, pending)) {
        case PendingRead::None:
            return true;
        case PendingRead::Unreadable:
            return state.refuse(PendingUnreadableText(state.files().pendingPath), kNothingDeletedCaption);
        case PendingRead::Found:
            break;
    }
    std::erase_if(pending.accounts, [&](const PendingAccount& account) {
        return protectedAccounts.covers(FolderUserName(account.folder));
    });
    std::vector<BatchMember> members;
    const BatchResult result = FinishPendingBatch(pending, members, state.files(), &progress);
    if (!state.take(result, members, true)) return false;
    for (const BatchMember& member : members)
        if (member.deleted.logReason && !state.log(member.account.userName, *member.deleted.logReason)) return false;
    return true;
}

// One batch: the dormant accounts to delete together and, in folder order with them, the
// accounts whose log lines follow the first of them.
struct Batch {
    std::vector<BatchMember> members;
    std::vector<std::size_t> memberAt;  // the position of each member among the accounts
    std::vector<std::size_t> loggedAt;  // the logged accounts after the first member
};

// The log lines of the batch's span, its members' and the logged accounts', in folder order.
bool WriteSpanLines(const Batch& batch, const std::vector<AccountJudgement>& accounts, ScanState& state) {
    std::size_t member = 0, logged = 0;
    while (member < batch.members.size() || logged < batch.loggedAt.size()) {
        const bool memberFirst = logged == batch.loggedAt.size() ||
                                 (member < batch.members.size() && batch.memberAt[member] < batch.loggedAt[logged]);
        if (memberFirst) {
            const BatchMember& m = batch.members[member++];
            if (m.deleted.logReason && !state.log(m.account.userName, *m.deleted.logReason)) return false;
        } else {
            const AccountJudgement& account = accounts[batch.loggedAt[logged++]];
            if (!state.log(account.userName, account.logReason)) return false;
        }
    }
    return true;
}

// Leaves every dormant account outside folders for a later run.
void RestrictTo(std::vector<AccountJudgement>& accounts, const std::optional<std::set<std::string>>& folders) {
    if (!folders) return;
    for (AccountJudgement& account : accounts)
        if (account.verdict == Verdict::Dormant && !folders->contains(account.folder)) account.verdict = Verdict::Kept;
}

// The scan, its report gathered in state; false where it ended early.
bool Scan(std::int32_t days, const DormixPaths& paths, platform::MessageBoxes& boxes, std::time_t now,
          RunRecorder& progress, std::size_t batchSize, const ScanScope& scope, ScanState& state) {
    // Two scans of one installation at once would each act on what the other is changing.
    const platform::FolderLock scanLock(paths.installPath, platform::FolderLock::Wait::No);
    if (scanLock.busy())
        return state.refuse("Another scan of " + paths.installPath + " is running. Nothing was deleted.",
                            kNothingDeletedCaption);
    const ProtectedAccounts protectedAccounts =
        scope.protectedAccounts ? *scope.protectedAccounts : ReadProtectedAccounts();
    if (protectedAccounts.cut) return state.refuse(kProtectListTooLong);
    if (const std::string problem = UserFolderProblem(paths.installPath); !problem.empty())
        return state.refuse(problem, kNothingDeletedCaption);
    if (const std::string problem = LogFileProblem(paths); !problem.empty())
        return state.refuse(problem, kNothingDeletedCaption);
    if (scope.oldLog == OldLog::Delete) DeleteOldLog(paths.logPath);
    if (!FinishPending(paths, protectedAccounts, state, progress)) return false;
    std::vector<AccountJudgement> accounts = JudgeAccounts(days, paths, protectedAccounts, now);
    RestrictTo(accounts, scope.onlyFolders);
    const int dormantCount = CountDormant(accounts);
    progress.counted(dormantCount);
    state.report().dormant = dormantCount;
    TervoxQuestion question(boxes);
    Answer answer = Answer::Failed;
    int dormantNumber = 0;
    std::size_t next = 0;
    bool stopped = false;
    while (next < accounts.size()) {
        if ((stopped = progress.stopRequested())) break;
        Batch batch;
        for (; next < accounts.size(); ++next) {
            const AccountJudgement& account = accounts[next];
            if (account.verdict == Verdict::Logged) {
                // Lines before the batch's first account are written at once, as met.
                if (!batch.members.empty()) batch.loggedAt.push_back(next);
                else if (!state.log(account.userName, account.logReason)) return false;
                continue;
            }
            if (account.verdict != Verdict::Dormant) continue;
            if (batch.members.size() >= std::max<std::size_t>(batchSize, 1)) break;
            ++dormantNumber;
            const Answer given = question.answer();
            if (given == Answer::Cancel) return state.cancel();
            if (given != Answer::Yes && given != Answer::No) continue;
            answer = given;
            batch.members.push_back({account, {}, true, std::nullopt});
            batch.memberAt.push_back(next);
        }
        if (batch.members.empty()) break;
        // A log that cannot take the lines stops the scan at the first of them, as it would one
        // account at a time: the accounts after it are not deleted.
        std::size_t cut = batch.members.size();
        if (!batch.loggedAt.empty() && !platform::AppendText(paths.logPath, "")) {
            while (cut > 0 && batch.memberAt[cut - 1] > batch.loggedAt.front()) --cut;
            batch.members.resize(cut);
        }
        // The record is opened before anything is deleted, so that a record that cannot be
        // written stops the scan before a deletion goes unrecorded.
        if (!platform::AppendText(state.files().auditPath, "")) return state.cannotWrite(state.files().auditPath);
        const BatchResult result = DeleteDormantBatch(batch.members, state.files(), answer == Answer::Yes, &progress,
                                                      dormantNumber - static_cast<int>(batch.memberAt.size()) + 1, dormantCount);
        if (!state.take(result, batch.members, false)) return false;
        if (!WriteSpanLines(batch, accounts, state)) return false;
    }
    return state.finish(stopped);
}

}  // namespace

ScanReport ScanDormantAccounts(std::int32_t days, const DormixPaths& paths, platform::MessageBoxes& boxes,
                               std::time_t now, ScanProgress* frontEnd, std::size_t batchSize, const ScanScope& scope) {
    const RunIdentity run = NewRunIdentity(days, scope.origin, now);
    RunRecorder progress(run, frontEnd);
    ScanState state(paths, run);
    Scan(days, paths, boxes, now, progress, batchSize, scope, state);
    progress.ended(state.report());
    return std::move(state.report());
}
