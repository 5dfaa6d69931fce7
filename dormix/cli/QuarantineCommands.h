#pragma once
// The quarantine from the command line, each that changes it under the installation's lock:
//   dormix --list-deleted        the accounts in quarantine with the day each will be purged, the
//                                first due first ("The quarantine is empty." when none); it only reads
//   dormix --restore NAME...     puts the accounts back
//   dormix --purge               purges the accounts whose grace period is over, and nothing else;
//                                with none due it says when the next is, or that none waits
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "dormix/quarantine/QuarantineEntry.h"
#include "dormix/scan/DormixPaths.h"
#include "platform/MessageBox.h"

// The line of --list-deleted: "NAME (FOLDER), last logon DAY, quarantined on DAY, purged on DAY",
// and for an account whose purge has begun, PurgeStateText after a comma.
std::string DeletedAccountLine(const QuarantineEntry& entry, const std::optional<std::time_t>& purgeDay);

// Each gives the process's exit code: 0 when everything was done, 1 when some account could not
// be (told through boxes), 4 when the run was refused before anything changed.
int ListDeletedCommand(const DormixPaths& paths, platform::MessageBoxes& boxes);
int RestoreCommand(const DormixPaths& paths, const std::vector<std::string>& names, std::time_t now,
                   platform::MessageBoxes& boxes);
int PurgeCommand(const DormixPaths& paths, std::time_t now, platform::MessageBoxes& boxes);
