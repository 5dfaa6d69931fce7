#include "dormix/cli/DryRun.h"

#include <string>

#include "dormix/cli/ConsoleMessageBoxes.h"
#include "dormix/cli/QuarantineCommands.h"
#include "dormix/scan/LineEscape.h"
#include "dormix/scan/NextScan.h"
#include "dormix/scan/ScanDormantAccounts.h"

namespace {

// Names and folders are escaped: a line break in one must not print a line of its own.
std::string AccountLine(const AccountJudgement& account) {
    const std::string name = EscapedForLine(account.userName);
    switch (account.verdict) {
        case Verdict::Dormant:
            return "Would delete " + name + " (" + EscapedForLine(account.folder) + "), last logon " +
                   LogonDateText(*account.lastLogon) + ", " + std::to_string(account.daysSince) + " days ago";
        case Verdict::Logged:
            return AccountLogText(name, account.logReason);
        case Verdict::Protected:
            return name + ", protected";
        case Verdict::Kept:
            break;
    }
    return {};
}

std::string PendingLine(const AccountJudgement& account) {
    return "Would finish deleting " + EscapedForLine(account.userName) + " (" + EscapedForLine(account.folder) +
           "), " + kPendingMark;
}

}  // namespace

void PrintDryRun(std::int32_t days, const DormixPaths& paths, const ProtectedAccounts& protectedAccounts,
                 std::time_t now) {
    const NextScan next = JudgeNextScan(days, paths, protectedAccounts, now);
    for (const AccountJudgement& account : next.pending) PrintLine(PendingLine(account));
    for (const AccountJudgement& account : next.accounts) {
        if (account.verdict != Verdict::Kept) PrintLine(AccountLine(account));
    }
    for (std::size_t i = 0; i < next.quarantined.size(); ++i)
        PrintLine("In quarantine: " + DeletedAccountLine(next.quarantined[i], next.purgeDays[i]));
    if (!next.problem.empty()) {
        PrintLine(next.problem);
        return;
    }
    const int toDelete = next.toDelete();
    if (toDelete == 0) {
        PrintLine(kNoDormantAccounts);
        return;
    }
    PrintLine(std::to_string(toDelete) +
              " account(s) would be deleted. Nothing was deleted: to delete them, run again with --yes and "
              "--tervox=yes or --tervox=no.");
}
