#include "dormix/scan/ScanDormantAccounts.h"

#include <optional>
#include <string>
#include <vector>

#include "dormix/scan/AccountLog.h"
#include "dormix/scan/CheckUserFolder.h"
#include "dormix/scan/CollectAccountFolders.h"
#include "dormix/scan/DeleteDormantAccount.h"
#include "dormix/scan/FileExists.h"
#include "dormix/scan/FolderUserName.h"
#include "dormix/scan/LastLogon.h"
#include "dormix/scan/ReadIniSetting.h"
#include "platform/FolderLock.h"
#include "platform/Paths.h"

namespace {

using platform::Answer;

const char* const kNothingDeleted = "There were no dormant accounts found";
const char* const kNothingDeletedCaption = "Nothing Deleted";

// What the account's "user.ini" says about it.
struct AccountVerdict {
    std::optional<LogReason> logReason;  // set when the account gets a log line instead
    bool dormant = false;
};

AccountVerdict JudgeAccount(const std::string& folder, std::int32_t days, std::time_t now) {
    const std::string ini = folder + platform::kSepText + "user.ini";
    if (!FileExists(ini)) return {LogReason::NoUserIni, false};
    const platform::ProfileValue read = ReadIniSetting("PROGRAM", "LASTLOGON", ini);
    if (read.error) return {LogReason::UnreadableUserIni, false};
    const std::string& value = read.value;
    if (value.empty()) return {LogReason::NotActivated, false};
    const LastLogon logon = ReadLastLogon(value);
    switch (logon.reading) {
        case LogonReading::TooFewParts:
            return {};
        case LogonReading::Unreadable:
            return {LogReason::UnreadableDate, false};
        case LogonReading::Date:
            break;
    }
    return {std::nullopt, AgeInDays(now, logon.then) > days};
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

}  // namespace

bool ScanDormantAccounts(std::int32_t days, const DormixPaths& paths, platform::MessageBoxes& boxes,
                         std::time_t now) {
    // Two scans of one installation at once would each act on what the other is changing.
    const platform::FolderLock scanLock(paths.installPath, platform::FolderLock::Wait::No);
    if (scanLock.busy()) {
        boxes.ok("Another scan of " + paths.installPath + " is running. Nothing was deleted.", kNothingDeletedCaption);
        return false;
    }
    if (const std::string problem = UserFolderProblem(paths.installPath); !problem.empty()) {
        boxes.ok(problem, kNothingDeletedCaption);
        return false;
    }
    const std::vector<std::string> folders = CollectAccountFolders(paths.userFolderPattern);
    if (folders.empty()) {
        boxes.ok(kNothingDeleted, kNothingDeletedCaption);
        return true;
    }
    TervoxQuestion question(boxes);
    int deletedCount = 0;
    TervoxFailures tervoxFailures;
    const auto logOrStop = [&](const std::string& folder, LogReason reason) {
        if (LogAccount(paths.logPath, FolderUserName(folder), reason)) return true;
        boxes.ok("Unable to create file " + paths.logPath);
        return false;
    };
    for (const std::string& folder : folders) {
        const AccountVerdict verdict = JudgeAccount(folder, days, now);
        if (verdict.logReason) {
            if (!logOrStop(folder, *verdict.logReason)) return false;
            continue;
        }
        if (!verdict.dormant) continue;
        const Answer answer = question.answer();
        if (answer == Answer::Cancel) return true;
        if (answer != Answer::Yes && answer != Answer::No) continue;
        const AccountDeletion deletion = DeleteDormantAccount(folder, paths.installPath, answer == Answer::Yes);
        tervoxFailures.add(deletion.tervox);
        if (deletion.logReason && !logOrStop(folder, *deletion.logReason)) return false;
        if (deletion.deleted) ++deletedCount;
    }
    if (deletedCount > 0) {
        boxes.ok("Successfully deleted " + std::to_string(deletedCount) + " account(s)!", "Dormant Accounts Deleted!");
    } else {
        boxes.ok(kNothingDeleted, kNothingDeletedCaption);
    }
    if (tervoxFailures.any()) boxes.ok(tervoxFailures.text(), "Tervox Accounts Not Deleted");
    return true;
}
