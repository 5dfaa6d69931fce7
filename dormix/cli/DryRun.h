#pragma once
// A run without --yes: what a deletion with the same number would do, printed and nothing
// changed on disk, then whether a deletion would find what it needs (the mail server's greeting
// among it when accounts would be warned).
#include <cstdint>
#include <ctime>

#include "dormix/cli/ConsoleMessageBoxes.h"
#include "dormix/scan/DormixPaths.h"
#include "dormix/scan/ProtectedAccounts.h"

// The process's exit code: 0, or 4 when a deleting run would be refused.
int RunDryRun(std::int32_t days, const DormixPaths& paths, const ProtectedAccounts& protectedAccounts,
              std::time_t now, const OutputStyle& style, bool withTervoxUsers);

// --ages: the accounts counted by time since their last logon, one line (or CSV row) per band,
// and how many the threshold would delete, from the dry run's own judging (warnings by mail planned
// as it plans them); nothing is changed.
// A problem that would stop the scan goes to standard error; the exit code is 0 all the same.
int RunAges(std::int32_t days, const DormixPaths& paths, const ProtectedAccounts& protectedAccounts, std::time_t now,
            const OutputStyle& style);
