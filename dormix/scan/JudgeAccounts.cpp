#include "dormix/scan/JudgeAccounts.h"

#include <algorithm>

#include "dormix/scan/CollectAccountFolders.h"
#include "dormix/scan/FileExists.h"
#include "dormix/scan/FolderUserName.h"
#include "dormix/scan/LastLogon.h"
#include "dormix/scan/ReadIniSetting.h"
#include "platform/Clock.h"
#include "platform/Paths.h"

namespace {

// What the account's own "user.ini" says about it.
void ReadAccount(AccountJudgement& account, std::int32_t days, std::time_t now) {
    const std::string ini = account.folder + platform::kSepText + "user.ini";
    if (!FileExists(ini)) {
        account.verdict = Verdict::Logged;
        account.logReason = LogReason::NoUserIni;
        return;
    }
    const platform::ProfileValue read = ReadIniSetting("PROGRAM", "LASTLOGON", ini);
    if (read.error) {
        account.verdict = Verdict::Logged;
        account.logReason = LogReason::UnreadableUserIni;
        return;
    }
    const std::string& value = read.value;
    if (value.empty()) {
        account.verdict = Verdict::Logged;
        account.logReason = LogReason::NotActivated;
        return;
    }
    const LastLogon logon = ReadLastLogon(value);
    switch (logon.reading) {
        case LogonReading::TooFewParts:
            return;
        case LogonReading::Unreadable:
            account.verdict = Verdict::Logged;
            account.logReason = LogReason::UnreadableDate;
            return;
        case LogonReading::Date:
            break;
    }
    account.lastLogon = logon.then;
    account.daysSince = AgeInDays(now, logon.then);
    if (account.daysSince > days) account.verdict = Verdict::Dormant;
}

}  // namespace

std::vector<AccountJudgement> JudgeAccounts(std::int32_t days, const DormixPaths& paths,
                                            const ProtectedAccounts& protectedAccounts, std::time_t now) {
    std::vector<AccountJudgement> accounts;
    for (const std::string& folder : CollectAccountFolders(paths.userFolderPattern)) {
        AccountJudgement account;
        account.folder = folder;
        account.userName = FolderUserName(folder);
        ReadAccount(account, days, now);
        if (protectedAccounts.covers(account.userName)) account.verdict = Verdict::Protected;
        accounts.push_back(std::move(account));
    }
    return accounts;
}

int CountDormant(const std::vector<AccountJudgement>& accounts) {
    return static_cast<int>(std::count_if(accounts.begin(), accounts.end(),
                                          [](const AccountJudgement& a) { return a.verdict == Verdict::Dormant; }));
}

std::string LogonDateText(std::time_t day) { return platform::LocalTimeText(day, "%Y-%m-%d"); }
