#include "dormix/cli/DryRun.h"

#include <string>

#include "dormix/cli/DormixCommandLine.h"
#include "dormix/scan/AccountList.h"
#include "dormix/scan/AuditLog.h"
#include "dormix/scan/JudgeAccounts.h"
#include "dormix/scan/Preflight.h"
#include "dormix/scan/ScanDormantAccounts.h"

namespace {

std::string AccountLine(const AccountJudgement& account) {
    const std::string name = AuditField(account.userName);
    if (account.verdict != Verdict::Dormant) return name + ", " + NotDeletedReason(account);
    return "Would delete " + name + " (" + AuditField(account.folder) + "), last logon " +
           LogonDateText(*account.lastLogon) + ", " + std::to_string(account.daysSince) + " days ago";
}

void PrintList(const std::vector<AccountJudgement>& accounts, const OutputStyle& style) {
    if (style.csv) {
        std::vector<CsvRow> rows{AccountListHeader()};
        for (const AccountJudgement& account : accounts)
            if (Listed(account)) rows.push_back(AccountListRow(account));
        const std::string text = CsvText(rows);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
        return;
    }
    if (style.quiet) return;
    for (const AccountJudgement& account : accounts)
        if (Listed(account)) PrintLine(AccountLine(account));
}

}  // namespace

int RunDryRun(std::int32_t days, const DormixPaths& paths, const ProtectedAccounts& protectedAccounts,
              std::time_t now, const OutputStyle& style, bool withTervoxUsers) {
    const std::vector<AccountJudgement> accounts = JudgeAccounts(days, paths, protectedAccounts, now);
    PrintList(accounts, style);
    const int dormant = CountDormant(accounts);
    if (dormant == 0) {
        PrintLine(kNoDormantAccounts, style.results());
    } else {
        PrintLine(std::to_string(dormant) +
                      " account(s) would be deleted. Nothing was deleted: to delete them, run again with --yes and "
                      "--tervox=yes or --tervox=no.",
                  style.results());
    }
    const std::vector<std::string> problems = DeletionPreflight(paths, withTervoxUsers);
    for (const std::string& problem : problems) PrintLine(problem, stderr);
    return problems.empty() ? kExitOk : kExitRefused;
}
