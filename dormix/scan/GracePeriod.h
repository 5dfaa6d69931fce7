#pragma once
// The scan under a grace period (GRACEDAYS set): every deleting run first finishes what an earlier
// run left half done in the quarantine and, once answered, purges the accounts whose period is
// over; each dormant account is quarantined instead of deleted, with the same question, summary
// and log lines. Every step gets its line in "deleted.log".
#include <ctime>
#include <string>
#include <vector>

#include "dormix/quarantine/Quarantine.h"
#include "dormix/scan/DeleteDormantAccount.h"
#include "dormix/scan/DormixPaths.h"
#include "dormix/scan/ProtectedAccounts.h"
#include "dormix/scan/RunRecord.h"
#include "dormix/scan/ScanReport.h"

// The "deleted.log" line of a quarantine step: the fields of a deletion's line, then what was done
// ("quarantined", "restored" or "purged").
std::string QuarantineAuditLine(const std::string& installPath, const QuarantineEntry& entry, QuarantineEvent event,
                                std::time_t at, const RunIdentity& run);

// Events that record each step of run in the installation's "deleted.log", synced, and in the
// system log, and that take the users of the protected list, read now, as protected.
QuarantineEvents AuditedEvents(const std::string& installPath, const RunIdentity& run, std::time_t now);

// Before the question of a deleting run with a grace period of graceDays (0: none): with one, the
// quarantine can be reached by a rename; whenever there is a quarantine, the steps an earlier run
// left half done are finished (that run was answered for them). Empty, or the refusal (nothing
// was deleted); purges: the entries that do not agree with the installation, and why.
std::string SettleGracePeriod(const DormixPaths& paths, int graceDays, const ProtectedAccounts& protectedAccounts,
                              const RunIdentity& run, std::time_t now, QuarantinePurges& purges);

// After the answer: purges the accounts of planned that are due still, each checked against the
// installation right before it, none of a protected user. Empty, or the problem that broke it
// off; purges: what was purged, what could not be and why, and what waits.
std::string PurgeDueEntries(const DormixPaths& paths, int graceDays, const ProtectedAccounts& protectedAccounts,
                            const RunIdentity& run, std::time_t now, const std::vector<QuarantineEntry>& planned,
                            QuarantinePurges& purges);

// For an account whose purge has begun: "purge begun, cannot be restored", and "; last failure:
// REASON" when the purge failed; empty for any other.
std::string PurgeStateText(const QuarantineEntry& entry);

// One purged account's line: "Purged NAME (FOLDER)", and why its mail-server user was kept, if it was.
std::string PurgedLine(const std::string& installPath, const QuarantineEntry& entry);

// The accounts whose purge failed or was refused, each with why, as reports show them.
std::vector<AccountNotDeleted> NotPurgedAccounts(const std::string& installPath, const std::vector<RefusedEntry>& entries);

// DeleteDormantBatch under a grace period: each member is judged again right before its folder
// moves, then quarantined; what could not be is kept whole with its log reason. progress hears
// of each member once it is quarantined.
BatchResult QuarantineDormantBatch(std::vector<BatchMember>& members, const BatchFiles& files, const BatchTerms& terms,
                                   ScanProgress* progress, int number, int count);
