#include "dormix/cli/DryRun.h"

#include <string>

#include "dormix/cli/ConsoleMessageBoxes.h"
#include "dormix/scan/JudgeAccounts.h"
#include "dormix/scan/ScanDormantAccounts.h"

namespace {

std::string AccountLine(const AccountJudgement& account) {
    switch (account.verdict) {
        case Verdict::Dormant:
            return "Would delete " + account.userName + " (" + account.folder + "), last logon " +
                   LogonDateText(*account.lastLogon) + ", " + std::to_string(account.daysSince) + " days ago";
        case Verdict::Logged:
            return AccountLogText(account.userName, account.logReason);
        case Verdict::Protected:
            return account.userName + ", protected";
        case Verdict::Kept:
            break;
    }
    return {};
}

}  // namespace

void PrintDryRun(std::int32_t days, const DormixPaths& paths, const ProtectedAccounts& protectedAccounts,
                 std::time_t now) {
    const std::vector<AccountJudgement> accounts = JudgeAccounts(days, paths, protectedAccounts, now);
    for (const AccountJudgement& account : accounts) {
        if (account.verdict != Verdict::Kept) PrintLine(AccountLine(account));
    }
    const int dormant = CountDormant(accounts);
    if (dormant == 0) {
        PrintLine(kNoDormantAccounts);
        return;
    }
    PrintLine(std::to_string(dormant) +
              " account(s) would be deleted. Nothing was deleted: to delete them, run again with --yes and "
              "--tervox=yes or --tervox=no.");
}
