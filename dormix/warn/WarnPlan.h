#pragma once
// A run with warnings on, planned from the judged accounts: which to warn now, which dormant
// ones wait out their warning, and which may go. The scan sends and deletes by it; the preview
// and the dry run only show it.
#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "dormix/scan/JudgeAccounts.h"
#include "dormix/warn/SendWarnings.h"
#include "dormix/warn/WarnDecision.h"
#include "dormix/warn/WarnedLog.h"

struct WarnStep {
    std::size_t account = 0;                // its place among the judged accounts
    WarnDecision decision;                  // Warn; Keep for a dormant account that waits; Delete
    std::optional<std::time_t> lastWarned;  // the warning it waits out, or had
};

// Decides for every account judged by its date (protected and unjudged ones apart). A dormant
// account that may not go yet is turned to Kept, so that what is left Dormant is what may go.
// Returns the steps of the accounts to warn, waiting or going, in folder order.
std::vector<WarnStep> PlanWarnings(std::vector<AccountJudgement>& accounts, std::int32_t days,
                                   std::int32_t warnDays, const WarnedLog& warned, std::time_t now);

// The warnings that the plan sends, in folder order.
std::vector<WarningToSend> WarningsOf(const std::vector<AccountJudgement>& accounts,
                                      const std::vector<WarnStep>& steps);

// What the dry run and the preview say of a step: "Would warn %s (%s), last logon %s: it would be
// deleted on %s" or "Would keep %s (%s), warned on %s: it would be deleted on %s"; empty for
// Delete, which the deletion's own line tells.
std::string WarnStepText(const AccountJudgement& account, const WarnStep& step);

// The counts the dry run ends with: "%d account(s) would be warned by mail." Empty for none.
std::string WouldWarnText(const std::vector<WarnStep>& steps);

// The report of a run's warnings: "%d account(s) were warned by mail." and, when some failed,
// "%d warning(s) could not be sent; those accounts were kept:" with one line per failure (at most
// maxLines, then "... and %d more").
std::string WarnedText(const WarningRun& run);
std::string WarningFailuresText(const WarningRun& run, std::size_t maxLines);
