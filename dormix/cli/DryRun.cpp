#include "dormix/cli/DryRun.h"

#include <algorithm>
#include <string>

#include "dormix/cli/DormixCommandLine.h"
#include "dormix/cli/QuarantineCommands.h"
#include "dormix/scan/AccountAges.h"
#include "dormix/scan/AccountList.h"
#include "dormix/scan/LineEscape.h"
#include "dormix/scan/Preflight.h"
#include "dormix/scan/RunPlan.h"
#include "dormix/scan/ScanDormantAccounts.h"
#include "dormix/warn/RunWarnings.h"
#include "dormix/warn/smtp/SmtpSender.h"
#include "platform/Console.h"

namespace {

// Names and folders are escaped: a line break in one must not print a line of its own. Under a
// grace period an account goes into quarantine, and the line says until when it can come back.
std::string AccountLine(const AccountJudgement& account, const RunPlan& plan) {
    const std::string name = EscapedForLine(account.userName);
    if (account.verdict != Verdict::Dormant) return name + ", " + NotDeletedReason(account);
    std::string line = (plan.quarantines() ? "Would quarantine " : "Would delete ") + name + " (" +
                       EscapedForLine(account.folder) + "), last logon " + LogonDateText(*account.lastLogon) + ", " +
                       std::to_string(account.daysSince) + " days ago";
    if (plan.restorableUntil) line += ", restorable until " + LogonDateText(*plan.restorableUntil);
    return line;
}

// "NAME (FOLDER)" of an entry in quarantine.
std::string EntryText(const QuarantineEntry& entry, const std::string& installPath) {
    return EscapedForLine(EntryName(entry)) + " (" + EscapedForLine(QuarantinedFolderPath(installPath, entry)) + ")";
}

std::string PurgeLine(const QuarantineEntry& entry, const std::string& installPath) {
    return "Would purge " + EntryText(entry, installPath) + ", quarantined on " + LogonDateText(entry.quarantinedOn);
}

// An entry over its period that the purge would leave, and why; the reason names the entry's file,
// whose folder's name must not break the line either.
std::string NotPurgedLine(const QuarantineEntry& entry, const std::string& why, const std::string& installPath) {
    return EntryText(entry, installPath) + ", would not be purged: " + EscapedForLine(why);
}

std::string PendingLine(const AccountJudgement& account) {
    return "Would finish deleting " + EscapedForLine(account.userName) + " (" + EscapedForLine(account.folder) +
           "), " + kPendingMark;
}

// A list or a count of some of the accounts would read as all of them, "none found" among them.
bool RefusedUnlisted(const RunPlan& next) {
    if (!next.unlisted.empty()) PrintLine(next.unlisted, stderr);
    return !next.unlisted.empty();
}

void PrintList(const RunPlan& next, const std::string& installPath, const OutputStyle& style) {
    if (style.csv) {
        std::vector<CsvRow> rows{AccountListHeader()};
        for (const AccountJudgement& account : next.pending) rows.push_back(AccountListRow(account, true));
        for (const AccountJudgement& account : next.accounts)
            if (Listed(account)) rows.push_back(AccountListRow(account));
        platform::WriteUnchanged(stdout, CsvText(rows));  // the CSV's own CR LF
        return;
    }
    if (style.quiet) return;
    // In the order the run takes its steps: the interrupted batch, then after the question the purges.
    for (const AccountJudgement& account : next.pending) PrintLine(PendingLine(account));
    for (const QuarantineEntry& entry : next.due) PrintLine(PurgeLine(entry, installPath));
    for (const auto& [entry, why] : next.notPurged) PrintLine(NotPurgedLine(entry, why, installPath));
    for (const AccountJudgement& account : next.accounts)
        if (Listed(account)) PrintLine(AccountLine(account, next));
    for (std::size_t i = 0; i < next.quarantined.size(); ++i)
        PrintLine("In quarantine: " + DeletedAccountLine(next.quarantined[i], next.purgeDays[i]));
}

}  // namespace

int RunDryRun(std::int32_t days, const DormixPaths& paths, const ProtectedAccounts& protectedAccounts,
              std::time_t now, const OutputStyle& style, bool withTervoxUsers) {
    RunWarnings warnings;
    const RunPlan next = PlanRun(days, paths, protectedAccounts, now, &warnings);
    if (RefusedUnlisted(next)) return kExitRefused;
    PrintList(next, paths.installPath, style);
    if (next.toWarn > 0) PrintLine(WouldWarnText(next.toWarn), style.results());
    const int toDelete = next.toDelete();
    if (toDelete == 0) {
        PrintLine(kNoDormantAccounts, style.results());
    } else {
        PrintLine(std::to_string(toDelete) +
                      " account(s) would be deleted. Nothing was deleted: to delete them, run again with --yes and "
                      "--tervox=yes or --tervox=no.",
                  style.results());
        if (next.restorableUntil)
            PrintLine("They would be kept in quarantine until " + LogonDateText(*next.restorableUntil) + ".",
                      style.results());
    }
    if (!next.due.empty()) PrintLine(std::to_string(next.due.size()) + " account(s) in quarantine would be purged.", style.results());
    // What would refuse the deleting run (next.problem among them), each on standard error.
    std::vector<std::string> problems = DeletionPreflight(paths, withTervoxUsers);
    if (!next.problem.empty() && std::find(problems.begin(), problems.end(), next.problem) == problems.end())
        problems.push_back(next.problem);  // the warnings' settings or record
    if (next.toWarn > 0) {  // the server that the warnings would go to answers a greeting
        if (std::string problem = MailServerProblem(warnings.settings()); !problem.empty())
            problems.push_back(std::move(problem));
    }
    for (const std::string& problem : problems) PrintLine(problem, stderr);
    return problems.empty() ? kExitOk : kExitRefused;
}

int RunAges(std::int32_t days, const DormixPaths& paths, const ProtectedAccounts& protectedAccounts, std::time_t now,
            const OutputStyle& style) {
    AccountAges ages;
    RunWarnings warnings;  // an account to be warned first is not deleted yet, as the dry run says
    const RunPlan next = PlanRun(days, paths, protectedAccounts, now, &warnings, &ages);
    if (RefusedUnlisted(next)) return kExitRefused;
    if (style.csv) {
        platform::WriteUnchanged(stdout, CsvText(AgesCsvRows(ages)));  // the CSV's own CR LF
    } else {
        for (const std::string& line : AgesTableLines(ages)) PrintLine(line);
    }
    PrintLine(AgesThresholdText(ages), style.results());
    if (!next.problem.empty()) PrintLine(next.problem, stderr);
    return kExitOk;
}
