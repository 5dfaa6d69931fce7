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
    std::optional<std::time_t> ahead;       // a warning dated ahead of the clock, which counts as not sent
};

// Decides for every account judged by its date (protected and unjudged ones apart). A dormant
// account that may not go yet is turned to Kept, so that what is left Dormant is what may go; an
// account to warn or waiting gets its note in AccountJudgement::warning ("to be warned by mail;
// goes on %s" or "warned by mail on %s; goes on %s", followed by "; its warning dated %s lies
// ahead of the clock" when the log holds one later than now). Returns the steps of the accounts
// to warn, waiting or going, in folder order.
std::vector<WarnStep> PlanWarnings(std::vector<AccountJudgement>& accounts, std::int32_t days,
                                   std::int32_t warnDays, const WarnedLog& warned, std::time_t now);

// Whether PlanWarnings would take a step for the account: the rest it leaves as they are.
bool PlanConcerns(const AccountJudgement& account, std::int32_t days, std::int32_t warnDays, const WarnedLog& warned,
                  std::time_t now);

// "%d warning(s) in %s are dated ahead of the clock and count as not sent:" and a line "%s: %s"
// (name, the warning's time) for each of the first maxLines, then "... and %d more"; empty when
// no step has a warning ahead of the clock.
std::string AheadOfClockText(const std::vector<AccountJudgement>& accounts, const std::vector<WarnStep>& steps,
                             const std::string& warnedLogPath, std::size_t maxLines);

// The warnings that the plan sends, in folder order.
std::vector<WarningToSend> WarningsOf(const std::vector<AccountJudgement>& accounts,
                                      const std::vector<WarnStep>& steps);

// How many of the steps warn.
int CountWarnings(const std::vector<WarnStep>& steps);
