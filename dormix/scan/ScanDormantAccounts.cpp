#include "dormix/scan/ScanDormantAccounts.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "common/VeltaSettings.h"
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
#include "platform/FolderLock.h"
#include "platform/TextMode.h"

namespace {

using platform::Answer;

const char* const kNothingDeletedCaption = "Nothing Deleted";
const char* const kNotDeletedCaption = "Accounts Not Deleted";

std::string NotDeletedText(int count, const std::string& logPath) {
    return std::to_string(count) + " account(s) could not be deleted. The reasons are in " + logPath;
}

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

// What the administrator sees when a scan ends, whichever way it ends.
class ScanState {
public:
    ScanState(const DormixPaths& paths, platform::MessageBoxes& boxes)
        : paths_(paths), boxes_(boxes),
          files_{paths.installPath, AuditLogPath(paths.installPath), PendingDeletionsPath(paths.installPath)} {}

    const BatchFiles& files() const { return files_; }

    bool cannotWrite(const std::string& path) {
        boxes_.ok(UnableToCreateFileText(path));
        return false;
    }

    // Counts what went and what could not; false (after its message) when the batch had to stop
    // the scan.
    bool take(const BatchResult& result, const std::vector<BatchMember>& members) {
        tervoxFailures_.add(result.tervox);
        for (const BatchMember& member : members) {
            deletedCount_ += member.deleted.deleted;
            notDeletedCount_ += member.deleted.logReason.has_value();
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

    bool summary() {
        if (deletedCount_ > 0) {
            boxes_.ok("Successfully deleted " + std::to_string(deletedCount_) + " account(s)!", "Dormant Accounts Deleted!");
        } else {
            boxes_.ok(kNoDormantAccounts, kNothingDeletedCaption);
        }
        if (notDeletedCount_ > 0) boxes_.ok(NotDeletedText(notDeletedCount_, paths_.logPath), kNotDeletedCaption);
        if (tervoxFailures_.any()) boxes_.ok(tervoxFailures_.text(), "Tervox Accounts Not Deleted");
        return true;
    }

private:
    const DormixPaths& paths_;
    platform::MessageBoxes& boxes_;
    BatchFiles files_;
    int deletedCount_ = 0;
    int notDeletedCount_ = 0;
    TervoxFailures tervoxFailures_;
};

enum class PendingEnd {
    Finished,
    Stopped,    // after its message
    Cancelled,  // at the question
    Held,       // the batch stays pending: a new batch would replace what leads to its key records
};

// Finishes the batch that a scan ended in the middle of: only what it had begun, only while still
// dormant under the batch's own threshold (a file that did not record it: the run's), and the
// mail-server users only when both that scan and this one were told to delete them. An account
// protected meanwhile is left as it is. Stopped (after its message) when it cannot be read or
// finished.
PendingEnd FinishPending(std::int32_t days, std::time_t now, const DormixPaths& paths,
                         const ProtectedAccounts& protectedAccounts, TervoxQuestion& question,
                         platform::MessageBoxes& boxes, ScanState& state) {
    PendingBatch pending;
    switch (ReadPendingDeletions(state.files().pendingPath, paths.userFolderPattern, pending)) {
        case PendingRead::None:
            return PendingEnd::Finished;
        case PendingRead::Unreadable:
            boxes.ok(PendingUnreadableText(state.files().pendingPath), kNothingDeletedCaption);
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
    const BatchResult result = FinishPendingBatch(pending.stage, members, state.files(), terms);
    if (!state.take(result, members)) return PendingEnd::Stopped;
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

// The log lines of the batch's span, its members' and the logged accounts', in folder order.
bool WriteSpanLines(const Batch& batch, const std::vector<AccountJudgement>& accounts, ScanState& state) {
    std::size_t member = 0, logged = 0;
    while (member < batch.members.size() || logged < batch.loggedAt.size()) {
        const bool memberFirst = logged == batch.loggedAt.size() ||
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

}  // namespace

bool ScanDormantAccounts(std::int32_t days, const DormixPaths& paths, platform::MessageBoxes& boxes,
                         std::time_t now, ScanProgress* progress, std::size_t batchSize, OldLog oldLog) {
    // Two scans of one installation at once would each act on what the other is changing.
    const platform::FolderLock scanLock(paths.installPath, platform::FolderLock::Wait::No);
    if (scanLock.busy()) {
        boxes.ok("Another scan of " + paths.installPath + " is running. Nothing was deleted.", kNothingDeletedCaption);
        return false;
    }
    const ProtectedAccounts protectedAccounts = ReadProtectedAccounts();
    if (protectedAccounts.cut) {
        boxes.ok(kProtectListTooLong);
        return false;
    }
    if (const std::string problem = UserFolderProblem(paths.installPath); !problem.empty()) {
        boxes.ok(problem, kNothingDeletedCaption);
        return false;
    }
    if (const std::string problem = LogFileProblem(paths); !problem.empty()) {
        boxes.ok(problem, kNothingDeletedCaption);
        return false;
    }
    const std::optional<int> graceDays = ReadGraceDays();
    if (!graceDays) {
        boxes.ok(GraceDaysUnreadableText(ReadVeltaSetting("DORMIX", "GRACEDAYS")), kNothingDeletedCaption);
        return false;
    }
    if (*graceDays > 0) {
        if (const std::string problem = OpenGracePeriod(paths, *graceDays, now); !problem.empty()) {
            boxes.ok(problem, kNothingDeletedCaption);
            return false;
        }
    }
    if (oldLog == OldLog::Delete) DeleteOldLog(paths.logPath);
    ScanState state(paths, boxes);
    TervoxQuestion question(boxes);
    switch (FinishPending(days, now, paths, protectedAccounts, question, boxes, state)) {
        case PendingEnd::Finished:
            break;
        case PendingEnd::Stopped:
            return false;
        case PendingEnd::Cancelled:
            return true;
        case PendingEnd::Held:
            return state.summary();
    }
    const std::vector<AccountJudgement> accounts = JudgeAccounts(days, paths, protectedAccounts, now);
    const int dormantCount = CountDormant(accounts);
    Answer answer = Answer::Failed;
    int dormantNumber = 0;
    std::size_t next = 0;
    while (next < accounts.size()) {
        if (progress && progress->stopRequested()) break;
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
            if (given == Answer::Cancel) return true;
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
        const auto deleteBatch = *graceDays > 0 ? QuarantineDormantBatch : DeleteDormantBatch;
        const BatchResult result =
            deleteBatch(batch.members, state.files(), BatchTerms{days, now, answer == Answer::Yes}, progress,
                        dormantNumber - static_cast<int>(batch.memberAt.size()) + 1, dormantCount);
        if (!state.take(result, batch.members)) return false;
        if (!WriteSpanLines(batch, accounts, state)) return false;
        // The batch stays pending for the next scan: a new batch would replace what leads to the
        // key records it left.
        if (result.end == BatchEnd::KeysLeftPending) break;
    }
    return state.summary();
}
