#pragma once
// What the next scan would do, for the dry run and the preview: first the accounts that the
// pending deletions of an interrupted run name, which the scan finishes before anything else,
// then every other account judged as the scan judges it, with the warnings by mail planned as the
// scan plans them when warnings are given. Nothing on disk changes and nothing is sent.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "dormix/quarantine/QuarantineEntry.h"
#include "dormix/scan/AccountAges.h"
#include "dormix/scan/DeletionWarnings.h"
#include "dormix/scan/JudgeAccounts.h"

struct NextScan {
    std::vector<AccountJudgement> pending;   // named by the pending deletions (verdict Dormant)
    // Every other account folder that the preview and the dry run show, judged: all but those
    // merely kept (a kept account that a warning concerns is shown with its note).
    std::vector<AccountJudgement> accounts;
    std::string problem;  // what stops the scan before it deletes anything; empty when nothing does
    int toWarn = 0;       // accounts that would be warned by mail (their notes say so)
    // The accounts in quarantine and the days they are purged on (none when a day cannot be told).
    std::vector<QuarantineEntry> quarantined;
    std::vector<std::optional<std::time_t>> purgeDays;

    int toDelete() const { return static_cast<int>(pending.size()) + CountDormant(accounts); }
};

// How the dry run and the preview mark an account of the pending deletions.
inline constexpr const char* kPendingMark = "pending from an interrupted run";

// ages, when given, counts every judged account by its time since the last logon, in the same
// pass, and takes the number the threshold would delete.
NextScan JudgeNextScan(std::int32_t days, const DormixPaths& paths, const ProtectedAccounts& protectedAccounts,
                       std::time_t now, DeletionWarnings* warnings = nullptr, AccountAges* ages = nullptr);
