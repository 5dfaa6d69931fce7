#include "dormix/scan/JudgeAccounts.h"

#include <algorithm>

#include "dormix/scan/CollectAccountFolders.h"
#include "dormix/scan/FileExists.h"
#include "dormix/scan/FolderUserName.h"
#include "dormix/scan/LastLogon.h"
#include "dormix/scan/ReadIniSetting.h"
#include "platform/CaseFold.h"
#include "platform/Clock.h"
#include "platform/DirectorySearch.h"
#include "platform/FaultInjection.h"
#include "platform/FileOps.h"
#include "platform/OrderedParallelMap.h"
#include "platform/Paths.h"

namespace {

// The accounts read ahead of the one taken at most: a few thousand keep the threads busy and hold
// a few hundred kilobytes.
constexpr std::size_t kJudgingWindow = 4096;

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

// How many entries the folder holds, when it holds nothing but a file named "user.ini" in any
// letter case; -1 when it holds anything else.
int UserIniEntries(const std::string& folder) {
    int count = 0;
    for (const platform::FoundEntry& entry : platform::FindEntries(folder + platform::kSepText + "*")) {
        if (entry.name == "." || entry.name == "..") continue;
        if (entry.isDirectory || entry.isSymlink || !platform::EqualsIgnoringCase(entry.name, "user.ini")) return -1;
        ++count;
    }
    return count;
}

}  // namespace

AccountJudgement JudgeAccount(const std::string& folder, std::int32_t days, std::time_t now) {
    AccountJudgement account;
    account.folder = folder;
    account.userName = FolderUserName(folder);
    ReadAccount(account, days, now);
    return account;
}

PendingVerdict JudgePendingAccount(const std::string& folder, std::int32_t days, std::time_t now) {
    // The very folder the batch named: one spelt in another letter case is another account's.
    if (!platform::PathExistsAsWritten(folder)) return PendingVerdict::Gone;
    const int entries = platform::IsDirectory(folder) ? UserIniEntries(folder) : -1;
    if (entries < 0) return PendingVerdict::NotBegun;
    if (entries == 0) return PendingVerdict::Emptied;
    return JudgeAccount(folder, days, now).verdict == Verdict::Dormant ? PendingVerdict::Finish : PendingVerdict::NotDormant;
}

unsigned DefaultJudgingThreads() { return platform::DefaultReadingThreads(); }

JudgedAccounts JudgeAccounts(std::int32_t days, const DormixPaths& paths, const ProtectedAccounts& protectedAccounts,
                             std::time_t now, const KeepJudgement& keep, const JudgingWork& work) {
    JudgedAccounts judged;
    std::vector<AccountJudgement>& accounts = judged.kept;
    // Each folder is judged by itself; only the taking, in folder order, sees the others.
    platform::OrderedParallelMap<std::string, AccountJudgement> judging(
        [days, now](const std::string& folder) { return JudgeAccount(folder, days, now); },
        [&](AccountJudgement&& account) {
            if (protectedAccounts.covers(account.userName)) account.verdict = Verdict::Protected;
            if (!keep || keep(account)) accounts.push_back(std::move(account));
            return !work.stopRequested || !work.stopRequested();
        },
        platform::fault::Armed() ? 1 : work.threads, kJudgingWindow);
    // A stop ends the search too: the rest of a million names is not even listed.
    const platform::ErrorCode error =
        ForEachAccountFolder(paths.userFolderPattern, [&](const std::string& folder) { return judging.put(folder); });
    judging.finish();
    if (error != 0) {
        std::string folder = platform::FolderOf(paths.userFolderPattern);
        if (!folder.empty()) folder.pop_back();  // its separator
        std::string reason = platform::SystemErrorText(error);
        if (!reason.empty() && reason.back() == '.') reason.pop_back();  // Windows ends its texts with one
        judged.problem = "The account folders in " + folder + " cannot be listed: " + reason + ". Nothing was deleted.";
    }
    return judged;
}

int CountDormant(const std::vector<AccountJudgement>& accounts) {
    return static_cast<int>(std::count_if(accounts.begin(), accounts.end(),
                                          [](const AccountJudgement& a) { return a.verdict == Verdict::Dormant; }));
}

std::string LogonDateText(std::time_t day) { return platform::LocalTimeText(day, "%Y-%m-%d"); }
