#pragma once
// The scan under a grace period (GRACEDAYS set): every deleting run first finishes what an earlier
// run left half done in the quarantine and purges the accounts whose period is over; then each
// dormant account is quarantined instead of deleted, with the same question, summary and log
// lines. Every step gets its line in "deleted.log".
#include <ctime>
#include <string>
#include <vector>

#include "dormix/quarantine/Quarantine.h"
#include "dormix/scan/DeleteDormantAccount.h"
#include "dormix/scan/DormixPaths.h"
#include "dormix/scan/RunRecord.h"
#include "dormix/scan/ScanReport.h"

// The "deleted.log" line of a quarantine step: the fields of a deletion's line, then what was done
// ("quarantined", "restored" or "purged").
std::string QuarantineAuditLine(const std::string& installPath, const QuarantineEntry& entry, QuarantineEvent event,
                                std::time_t at, const RunIdentity& run);

// Events that record each step of run in the installation's "deleted.log", synced, and in the
// system log.
QuarantineEvents AuditedEvents(const std::string& installPath, const RunIdentity& run, std::time_t now);

// Before anything else of a deleting run with a grace period of graceDays: the quarantine can
// be reached by a rename, its half-done steps are finished and the accounts whose period is over
// are purged. Empty, or the refusal (nothing was deleted); notPurged: the accounts whose purge
// failed, with why.
std::string OpenGracePeriod(const DormixPaths& paths, int graceDays, const RunIdentity& run, std::time_t now,
                            std::vector<AccountNotDeleted>& notPurged);

// DeleteDormantBatch under a grace period: each member is judged again right before its folder
// moves, then quarantined; what could not be is kept whole with its log reason. progress hears
// of each member once it is quarantined.
BatchResult QuarantineDormantBatch(std::vector<BatchMember>& members, const BatchFiles& files, const BatchTerms& terms,
                                   ScanProgress* progress, int number, int count);
