#pragma once
// Warnings by mail before accounts go, as the scan sees them: a plan over the judged accounts
// before anything is deleted, the sending after the deletions, and the report of what became of
// each warning. The warnings' own rules, message and mail server live above the scan and come in
// through this; a scan handed none deletes as if no warnings were asked for.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "dormix/scan/JudgeAccounts.h"
#include "dormix/scan/ScanProgress.h"

struct WarningOutcome {
    std::string userName;
    std::string address;  // empty when the name makes no address
    bool warned = false;  // sent, taken by the server and recorded
    std::string answer;   // the server's answer, or why the warning was not sent or not recorded
    std::time_t goesOn = 0;  // the first day a run may delete the account: it is kept until then
};

struct WarningRun {
    std::vector<WarningOutcome> outcomes;  // one per warning, in order; none after the record failed
    // "Unable to create file %s" when "warned.log" could not take a line (sending stopped there)
    // or be synced; empty when it took every one.
    std::string logProblem;
    // A stop was asked for while the warnings were sent: the message in hand was the last.
    bool stopped = false;
    // What the run says once besides (the warnings that "warned.log" dates ahead of the clock,
    // a settings file that others can read holding the password), each with its caption.
    std::vector<std::pair<std::string, std::string>> notices;
    std::string server;  // the mail server the warnings went to, as the settings name it

    int warnedCount() const;
    int failedCount() const;
    bool failed() const { return failedCount() > 0 || !logProblem.empty(); }
};

class DeletionWarnings {
public:
    virtual ~DeletionWarnings() = default;

    // Before anything is deleted: reads the settings and the record of warnings as at now. Empty,
    // or why the run must delete nothing (the words end in "Nothing was deleted.").
    virtual std::string prepare(const std::string& installPath, std::int32_t days, std::time_t now) = 0;

    // Whether plan may act on the account: a scan keeps in memory only such accounts and those
    // it acts on itself.
    virtual bool concerns(const AccountJudgement& account, std::time_t now) const = 0;

    // With warnings on, turns to Kept every dormant account that may not go yet, with its note in
    // AccountJudgement::warning, and remembers whom to warn; without, changes nothing.
    virtual void plan(std::vector<AccountJudgement>& accounts, std::time_t now) = 0;

    // How many accounts the plan warns.
    virtual int toWarn() const = 0;

    // After the deletions: sends the planned warnings and records those the server took, asking
    // progress before each message whether to stop.
    virtual WarningRun send(std::time_t now, ScanProgress& progress) = 0;
};

// "warned.log" in the installation's "Log" folder, which the scan keeps free of links like its
// other logs.
std::string WarnedLogPath(const std::string& installPath);

// "%s (%s): %s": a warning that failed, for the report.
std::string WarningFailureText(const WarningOutcome& outcome);

// What the dry run says before its count of deletions: "%d account(s) would be warned by mail."
// Empty for none.
std::string WouldWarnText(int warnings);

// The report of a run's warnings: "%d account(s) were warned by mail." and, when some failed,
// "%d warning(s) could not be sent through %s; those accounts were kept:" (the server named when
// known) with one line per failure (at most
// maxLines, then "... and %d more"), and the log's problem on a line of its own. Empty for none.
std::string WarnedText(const WarningRun& run);
// After a run's summary: "%d dormant account(s) were warned by mail and are kept until %s." (the
// first day one of them may go); empty when none was warned.
std::string KeptAfterWarningText(const WarningRun& run);
std::string WarningFailuresText(const WarningRun& run, std::size_t maxLines);
