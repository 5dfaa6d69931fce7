#pragma once
// A run without --yes: what a deletion with the same number would do, printed and nothing
// changed on disk.
#include <cstdint>
#include <ctime>

#include "dormix/scan/DormixPaths.h"
#include "dormix/scan/ProtectedAccounts.h"

void PrintDryRun(std::int32_t days, const DormixPaths& paths, const ProtectedAccounts& protectedAccounts,
                 std::time_t now);
