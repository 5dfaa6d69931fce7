#include "dormix/scan/ScanDormantAccounts.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "dormix/keyindex/RemoveUserKeys.h"
#include "dormix/quarantine/GraceDays.h"
#include "dormix/scan/AccountLog.h"
#include "dormix/scan/AuditLog.h"
#include "dormix/scan/CheckUserFolder.h"
#include "dormix/scan/DeleteDormantAccount.h"
#include "dormix/scan/FolderUserName.h"
#include "dormix/scan/GracePeriod.h"
#include "dormix/scan/JudgeAccounts.h"
#include "dormix/scan/PendingDeletions.h"
#include "dormix/scan/ProtectedAccounts.h"
#include "dormix/scan/RunPlan.h"
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
                                  "Select Account(s) To Be Deleted", platform::Buttons::YesNoCancel);
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
        const bool touched = begun_ || report_.taken > 0 || !report_.deleted.empty() || !report_.notDeleted.empty();
        report_.end = touched ? ScanEnd::Broken : ScanEnd::Refused;
        report_.problem = problem;
        report_.problemCaption = caption;
        return false;
    }
    bool cannotWrite(const std::string& path) { return refuse(UnableToCreateFileText(path)); }
    // Ends the scan with problem after its first deletions (the quarantine's steps among them).
    bool breakOff(const std::string& problem) {
        begun_ = true;
        return refuse(problem);
    }

    // Counts what went and what could not; false when the batch had to stop the scan. pending:
    // the members are those of an interrupted run.
    bool take(const BatchResult& result, const std::vector<BatchMember>& members, bool pending) {
        tervoxFailures_.add(result.tervox);
        if (tervoxFailures_.any()) {
            report_.tervoxFailed = tervoxFailures_.accounts();
            report_.tervoxText = tervoxFailures_.text();
        }
        if (!pending)
            report_.taken += static_cast<int>(
                std::count_if(members.begin(), members.end(), [](const BatchMember& m) { return !m.untouched; }));
        // A deletion left pending was begun: a run that breaks off while finishing it deleted something.
        begun_ = begun_ || std::any_of(members.begin(), members.end(), [](const BatchMember& m) { return m.inHand; });
        for (const BatchMember& member : members) {
            if (member.deleted.deleted) {
                report_.deleted.push_back(member.account);
                report_.quarantined += member.deleted.quarantined;
                report_.pendingFinished += pending;
            }
            if (member.deleted.logReason)
                report_.notDeleted.push_back(
                    {member.account.userName, member.account.folder,
                     LogReasonText(*member.deleted.logReason, member.deleted.logDetail)});
        }
        if (result.end == BatchEnd::AuditFailed) return cannotWrite(files_.auditPath);
        if (result.end == BatchEnd::PendingFailed) return cannotWrite(files_.pendingPath);
        return true;
    }

    bool log(const std::string& userName, LogReason reason, const std::string& detail = {}) {
        return LogAccount(paths_.logPath, userName, reason, detail) || cannotWrite(paths_.logPath);
    }
    // The member's line, when it has one.
    bool log(const BatchMember& member) {
        return !member.deleted.logReason || log(member.account.userName, *member.deleted.logReason, member.deleted.logDetail);
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
    bool begun_ = false;
};

enum class PendingEnd {
    Finished,
    Stopped,    // the report says why
    Cancelled,  // at the question
    Held,       // the batch stays pending: a new batch would replace what leads to its key records
};

// Finishes the batch that a scan ended in the middle of: only what it had begun, only while still
// dormant under the batch's own threshold (a file that did not record it: the run's), and the
// mail-server users only when both that scan and this one were told to delete them. An account
// protected meanwhile is left as it is. Stopped (the report saying why) when it cannot be read or
// finished. progress hears of each account finished.
PendingEnd FinishPending(std::int32_t days, std::time_t now, const DormixPaths& paths,
                         const ProtectedAccounts& protectedAccounts, TervoxQuestion& question, ScanState& state,
                         ScanProgress& progress) {
    PendingBatch pending;
    switch (ReadPendingDeletions(state.files().pendingPath, paths.userFolderPattern, pending)) {
        case PendingRead::None:
            return PendingEnd::Finished;
        case PendingRead::Unreadable:
            state.refuse(PendingUnreadableText(state.files().pendingPath), kNothingDeletedCaption);
            return PendingEnd::Stopped;
        case PendingRead::Found:
            break;
    }
    std::erase_if(pending.accounts, [&](const PendingAccount& account) {
        return protectedAccounts.covers(FolderUserName(account.folder));
    });
    BatchTerms terms{pending.days.value_or(days), now, false};
    std::vector<BatchMember> members = PendingMembers(pending, terms.days, now);
    const bool anyInHand = std::any_of(members.begin(), members.end(), [](const BatchMember& m) { return m.inHand; });
    if (pending.withTervoxUsers && anyInHand) {
        const Answer given = question.answer();
        if (given == Answer::Cancel) return PendingEnd::Cancelled;
        terms.withTervoxUsers = given == Answer::Yes;
        members = PendingMembers(pending, terms.days, now);  // the answer may have been long in coming
    }
    const BatchResult result = FinishPendingBatch(pending.stage, members, state.files(), terms, &progress);
    if (!state.take(result, members, true)) return PendingEnd::Stopped;
    for (const BatchMember& member : members)
        if (!state.log(member)) return PendingEnd::Stopped;
    return result.end == BatchEnd::KeysLeftPending ? PendingEnd::Held : PendingEnd::Finished;
}

// One batch: the dormant accounts to delete together and, in folder order with them, the
// accounts whose log lines follow the first of them.
struct Batch {
    std::vector<BatchMember> members;
    std::vector<std::size_t> memberAt;  // the position of each member among the accounts
    std::vector<std::size_t> loggedAt;  // the logged accounts after the first member
};

// The log lines of the batch's span, its members' and the logged accounts', in folder order; a
// stop ends the span at the first member it left untouched, which the scan did not reach.
bool WriteSpanLines(const Batch& batch, const std::vector<AccountJudgement>& accounts, ScanState& state) {
    std::size_t member = 0, logged = 0, loggedEnd = batch.loggedAt.size();
    for (std::size_t i = 0; i < batch.members.size(); ++i)
        if (batch.members[i].untouched) {
            loggedEnd = static_cast<std::size_t>(
                std::lower_bound(batch.loggedAt.begin(), batch.loggedAt.end(), batch.memberAt[i]) - batch.loggedAt.begin());
            break;
        }
    while (member < batch.members.size() || logged < loggedEnd) {
        const bool memberFirst = logged == loggedEnd ||
                                 (member < batch.members.size() && batch.memberAt[member] < batch.loggedAt[logged]);
        if (memberFirst) {
            if (!state.log(batch.members[member++])) return false;
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

// How many accounts a batch takes. Each batch rewrites both key files whole, so with large files
// (a million records: 256 MB each) a batch takes at least one account per hundred records, and
// the rewrites cost no more than the accounts' own work instead of growing with the square of
// the installation.
std::size_t BatchSizeFor(std::size_t asked, const std::string& installPath) {
    const platform::FileStamp userKey = platform::StampOf(keyindex::KeyFilePath(installPath, "USER.KEY"));
    const auto records = userKey.exists ? static_cast<std::size_t>(userKey.size) / keyindex::kRecordSize : 0;
    return std::max({asked, records / 100, std::size_t{1}});
}

// The accounts of the batch that went into quarantine, counted among those that wait there.
void CountWaiting(const std::vector<BatchMember>& members, std::optional<std::time_t> purgeDay, QuarantinePurges& purges) {
    for (const BatchMember& member : members) {
        if (!member.deleted.quarantined) continue;
        ++purges.waiting;
        if (purgeDay && (!purges.nextPurge || *purgeDay < *purges.nextPurge)) purges.nextPurge = purgeDay;
    }
}

}  // namespace

std::string PurgeQuestionText(std::size_t due) {
    return std::to_string(due) + " account(s) in quarantine are past their grace period. Purge them now? A purged "
                                 "account cannot be restored.";
}

namespace {

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
    // The warnings' settings are checked before the grace period's purge, which deletes.
    DeletionWarnings* const warnings = scope.warnings;
    // Read once: the plan below is made with them.
    const RunSettings settings = ReadRunSettings(paths.installPath, days, now, warnings);
    if (!settings.warnProblem.empty()) return state.refuse(settings.warnProblem, kNothingDeletedCaption);
    const std::optional<int> graceDays = settings.graceDays;
    if (!graceDays) return state.refuse(settings.graceProblem, kNothingDeletedCaption);
    if (*graceDays > 0) {
        if (const std::string problem = PrepareQuarantine(paths.installPath); !problem.empty())
            return state.refuse(problem, kNothingDeletedCaption);
    }
    // Whatever the period is now: each account in quarantine keeps the period it went in under.
    // Past the preparation, every refusal follows a step of the quarantine that was taken.
    if (const std::string problem =
            SettleGracePeriod(paths, *graceDays, protectedAccounts, state.files().run, now, state.report().quarantine);
        !problem.empty())
        return state.breakOff(problem);
    if (scope.oldLog == OldLog::Delete) DeleteOldLog(paths.logPath);
    TervoxQuestion question(boxes);
    switch (FinishPending(days, now, paths, protectedAccounts, question, state, progress)) {
        case PendingEnd::Finished:
            break;
        case PendingEnd::Stopped:
            return false;
        case PendingEnd::Cancelled:
            return state.cancel();
        case PendingEnd::Held:
            return state.finish(false);
    }
    // The plan, as the dry run and the preview make it; its steps are checked again as they come.
    RunPlan plan = PlanRun(days, paths, protectedAccounts, now, settings, warnings, nullptr, &progress);
    if (!plan.problem.empty()) return state.refuse(plan.problem, kNothingDeletedCaption);
    // A stop while the folders were read ends the run before its first step: nothing was touched.
    if (plan.stopped) return state.finish(true);
    // Of the quarantine the run needs only the entries due; the whole list is for the eye.
    std::vector<QuarantineEntry>().swap(plan.quarantined);
    std::vector<AccountJudgement>& accounts = plan.accounts;
    RestrictTo(accounts, scope.onlyFolders);
    const int dormantCount = CountDormant(accounts);
    progress.counted(dormantCount);
    state.report().dormant = dormantCount;
    if (*graceDays > 0) state.report().restorableUntil = plan.restorableUntil;
    // Nothing is destroyed before the answer: the due purges follow the question's first Yes or No,
    // so that a cancel leaves the quarantine as it was. The refused entries go with them, so that
    // the purge's own checks tell each why it stays.
    const std::size_t purgeable = plan.due.size();
    for (RefusedEntry& refused : plan.notPurged) plan.due.push_back(std::move(refused.first));
    bool purged = false;
    const auto purgeDue = [&] {
        purged = true;
        const std::string problem = PurgeDueEntries(paths, *graceDays, protectedAccounts, state.files().run, now,
                                                    plan.due, state.report().quarantine);
        return problem.empty() || state.breakOff(problem);
    };
    if (dormantCount == 0) {
        // With no account to delete there is no question to stand for the purges: they get one of
        // their own, whose Enter answers No, and anything but Yes leaves every entry as it is.
        if (purgeable > 0 && boxes.show(PurgeQuestionText(purgeable), "Purge Accounts", platform::Buttons::YesNoDefaultNo,
                                        platform::Severity::Question) != Answer::Yes)
            plan.due.clear();
        if (!purgeDue()) return false;
    }
    Answer answer = Answer::Failed;
    const std::size_t perBatch = BatchSizeFor(batchSize, paths.installPath);
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
            if (batch.members.size() >= perBatch) break;
            ++dormantNumber;
            const Answer given = question.answer();
            if (given == Answer::Cancel) return state.cancel();
            if (given != Answer::Yes && given != Answer::No) continue;
            answer = given;
            if (!purged && !purgeDue()) return false;
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
        const auto deleteBatch = *graceDays > 0 ? QuarantineDormantBatch : DeleteDormantBatch;
        const BatchResult result =
            deleteBatch(batch.members, state.files(), BatchTerms{days, now, answer == Answer::Yes, *graceDays}, &progress,
                        dormantNumber - static_cast<int>(batch.memberAt.size()) + 1, dormantCount);
        if (!state.take(result, batch.members, false)) return false;
        if (*graceDays > 0) CountWaiting(batch.members, PurgeDay(DayOfRun(now), *graceDays), state.report().quarantine);
        if (!WriteSpanLines(batch, accounts, state)) return false;
        // A stop that left accounts of the batch untouched ends the scan, the last batch's too.
        if ((stopped = std::any_of(batch.members.begin(), batch.members.end(),
                                   [](const BatchMember& m) { return m.untouched; })))
            break;
        // The batch stays pending for the next scan: a new batch would replace what leads to the
        // key records it left.
        if (result.end == BatchEnd::KeysLeftPending) break;
    }
    // The warnings go after the deletions, so that a stop or a cancel sends none, nor a question
    // whose box could not be shown at any dormant account: nothing goes out without an answer.
    const bool unanswered = dormantCount > 0 && answer == Answer::Failed;
    if (warnings && !stopped && !unanswered) {
        state.report().warnings = warnings->send(now, progress);
        stopped = state.report().warnings.stopped;
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
