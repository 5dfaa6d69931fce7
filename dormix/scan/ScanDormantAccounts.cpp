#include "dormix/scan/ScanDormantAccounts.h"

#include <string>
#include <vector>

#include "dormix/scan/AccountLog.h"
#include "dormix/scan/AuditLog.h"
#include "dormix/scan/CheckUserFolder.h"
#include "dormix/scan/DeleteDormantAccount.h"
#include "dormix/scan/JudgeAccounts.h"
#include "dormix/scan/ProtectedAccounts.h"
#include "platform/FolderLock.h"
#include "platform/TextMode.h"

namespace {

using platform::Answer;

const char* const kNothingDeletedCaption = "Nothing Deleted";

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

bool CannotWrite(platform::MessageBoxes& boxes, const std::string& path) {
    boxes.ok(UnableToCreateFileText(path));
    return false;
}

}  // namespace

bool ScanDormantAccounts(std::int32_t days, const DormixPaths& paths, platform::MessageBoxes& boxes,
                         std::time_t now, ScanProgress* progress) {
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
    const std::vector<AccountJudgement> accounts = JudgeAccounts(days, paths, protectedAccounts, now);
    if (accounts.empty()) {
        boxes.ok(kNoDormantAccounts, kNothingDeletedCaption);
        return true;
    }
    const std::string auditPath = AuditLogPath(paths.installPath);
    const int dormantCount = CountDormant(accounts);
    TervoxQuestion question(boxes);
    TervoxFailures tervoxFailures;
    int deletedCount = 0;
    int dormantNumber = 0;
    for (const AccountJudgement& account : accounts) {
        if (progress && progress->stopRequested()) break;
        if (account.verdict == Verdict::Logged) {
            if (!LogAccount(paths.logPath, account.userName, account.logReason)) return CannotWrite(boxes, paths.logPath);
            continue;
        }
        if (account.verdict != Verdict::Dormant) continue;
        ++dormantNumber;
        const Answer answer = question.answer();
        if (answer == Answer::Cancel) return true;
        if (answer != Answer::Yes && answer != Answer::No) continue;
        if (progress) progress->deleting(dormantNumber, dormantCount, account.userName);
        // The record is opened before anything is deleted, so that a record that cannot be
        // written stops the scan before a deletion goes unrecorded.
        if (!platform::AppendText(auditPath, "")) return CannotWrite(boxes, auditPath);
        const DeletedAccount deleted = DeleteDormantAccount(account, paths.installPath, answer == Answer::Yes);
        tervoxFailures.add(deleted.tervox);
        if (deleted.recorded() && !AppendAuditLine(auditPath, AuditLine(account, deleted, std::time(nullptr)))) {
            return CannotWrite(boxes, auditPath);
        }
        if (deleted.logReason && !LogAccount(paths.logPath, account.userName, *deleted.logReason)) {
            return CannotWrite(boxes, paths.logPath);
        }
        if (deleted.deleted) ++deletedCount;
    }
    if (deletedCount > 0) {
        boxes.ok("Successfully deleted " + std::to_string(deletedCount) + " account(s)!", "Dormant Accounts Deleted!");
    } else {
        boxes.ok(kNoDormantAccounts, kNothingDeletedCaption);
    }
    if (tervoxFailures.any()) boxes.ok(tervoxFailures.text(), "Tervox Accounts Not Deleted");
    return true;
}
