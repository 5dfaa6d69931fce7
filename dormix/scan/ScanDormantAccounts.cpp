#include "dormix/scan/ScanDormantAccounts.h"

#include <optional>
#include <string>
#include <vector>

#include "dormix/keyindex/RemoveUserKeys.h"
#include "dormix/scan/AccountLog.h"
#include "dormix/scan/CollectAccountFolders.h"
#include "dormix/scan/DeleteFolderTree.h"
#include "dormix/scan/DeleteTervoxUsers.h"
#include "dormix/scan/FileExists.h"
#include "dormix/scan/FolderUserName.h"
#include "dormix/scan/LastLogon.h"
#include "dormix/scan/ReadIniSetting.h"
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
    const std::string value = ReadIniSetting("PROGRAM", "LASTLOGON", ini);
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

void DeleteDormantAccount(const std::string& folder, const std::string& installPath, bool withTervoxUser) {
    const std::string userName = FolderUserName(folder);
    DeleteAccountFolder(folder);
    RemoveUserKeys(installPath, userName);
    if (withTervoxUser) DeleteTervoxUsers({userName});
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
    const std::vector<std::string> folders = CollectAccountFolders(paths.userFolderPattern);
    if (folders.empty()) {
        boxes.ok(kNothingDeleted, kNothingDeletedCaption);
        return true;
    }
    TervoxQuestion question(boxes);
    int deletedCount = 0;
    for (const std::string& folder : folders) {
        const AccountVerdict verdict = JudgeAccount(folder, days, now);
        if (verdict.logReason) {
            if (!LogAccount(paths.logPath, FolderUserName(folder), *verdict.logReason)) {
                boxes.ok("Unable to create file " + paths.logPath);
                return false;
            }
            continue;
        }
        if (!verdict.dormant) continue;
        const Answer answer = question.answer();
        if (answer == Answer::Cancel) return true;
        if (answer != Answer::Yes && answer != Answer::No) continue;
        DeleteDormantAccount(folder, paths.installPath, answer == Answer::Yes);
        ++deletedCount;
    }
    if (deletedCount > 0) {
        boxes.ok("Successfully deleted " + std::to_string(deletedCount) + " account(s)!", "Dormant Accounts Deleted!");
    } else {
        boxes.ok(kNothingDeleted, kNothingDeletedCaption);
    }
    return true;
}
