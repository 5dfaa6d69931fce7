#pragma once
// What a run would do, step by step, made once from the installation: the dry run prints it, the
// preview shows it, the run's question asks about it and the scan carries it out, checking each
// step against the installation right before it. First the accounts that the pending deletions
// of an interrupted run name, which the scan finishes before anything else (an earlier run was
// answered for them); then, after the question, the accounts in quarantine due for purging; then
// every other account judged as the scan judges it (deleted or quarantined, logged, protected),
// with the warnings by mail planned as the scan plans them when warnings are given. Making the
// plan changes nothing on disk and sends nothing.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "dormix/quarantine/Quarantine.h"
#include "dormix/quarantine/QuarantineEntry.h"
#include "dormix/scan/AccountAges.h"
#include "dormix/scan/DeletionWarnings.h"
#include "dormix/scan/JudgeAccounts.h"
#include "dormix/scan/ScanProgress.h"

struct RunPlan {
    std::vector<AccountJudgement> pending;   // named by the pending deletions (verdict Dormant)
    // Every other account folder that the preview and the dry run show, judged: all but those
    // merely kept (a kept account that a warning concerns is shown with its note).
    std::vector<AccountJudgement> accounts;
    std::string problem;  // what stops the scan before it deletes anything; empty when nothing does
    // Why the account folders could not all be listed (then also the problem): the accounts are
    // not all there are, so nothing about them may be told as the installation's.
    std::string unlisted;
    int toWarn = 0;       // accounts that would be warned by mail (their notes say so)
    // The accounts in quarantine and the days they are purged on (none when a day cannot be told).
    std::vector<QuarantineEntry> quarantined;
    std::vector<std::optional<std::time_t>> purgeDays;
    // Those of them whose grace period is over, or whose purge has begun: purged after the question.
    std::vector<QuarantineEntry> due;
    // Those over their period that do not agree with the installation (a protected user's among
    // them), with why: the run leaves them, and tells them as not purged.
    std::vector<RefusedEntry> notPurged;
    int graceDays = 0;  // the grace period now: the accounts to delete go into quarantine for it
    // With a grace period, the day until which an account quarantined by the run can be restored.
    std::optional<std::time_t> restorableUntil;
    // A stop was asked while the folders were read: the plan holds only those read before it.
    bool stopped = false;

    bool quarantines() const { return graceDays > 0; }
    int toDelete() const { return static_cast<int>(pending.size()) + CountDormant(accounts); }
};

// How the dry run and the preview mark an account of the pending deletions.
inline constexpr const char* kPendingMark = "pending from an interrupted run";

// What a plan reads of the settings, read once: a run that must refuse on them before its first
// step reads them before it, and plans with what it read.
struct RunSettings {
    std::optional<int> graceDays;  // none: GRACEDAYS cannot be read, and graceProblem says so
    std::string graceProblem;
    std::string warnProblem;  // why the warnings cannot be planned (warnings prepared, when given)
};
RunSettings ReadRunSettings(const std::string& installPath, std::int32_t days, std::time_t now,
                            DeletionWarnings* warnings);

// ages, when given, counts every judged account by its time since the last logon, in the same
// pass, and takes the number the threshold would delete; progress, when given, hears how many
// account folders have been read as it goes, and its stop ends the reading there. settings are
// what ReadRunSettings read with the same warnings.
RunPlan PlanRun(std::int32_t days, const DormixPaths& paths, const ProtectedAccounts& protectedAccounts,
                std::time_t now, const RunSettings& settings, DeletionWarnings* warnings, AccountAges* ages,
                ScanProgress* progress);
// The same, the settings read first.
RunPlan PlanRun(std::int32_t days, const DormixPaths& paths, const ProtectedAccounts& protectedAccounts,
                std::time_t now, DeletionWarnings* warnings = nullptr, AccountAges* ages = nullptr);
