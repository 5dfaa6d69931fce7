#pragma once
// The deletion of dormant accounts, a batch at a time, in an order that a kill or a failure at
// any step leaves every account to be found again by the next scan, or finished by it from the
// pending deletions: everything in each folder but "user.ini", then the key records of the whole
// batch, then its mail-server users, then each account's "user.ini" and folder. Each account's
// "user.ini" is read again right before its folder is touched; an account that could not be
// taken whole through a step is left at that step, uncounted, with its log reason.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "dormix/keyindex/KeyRecord.h"
#include "dormix/scan/AccountLog.h"
#include "dormix/scan/DeleteTervoxUsers.h"
#include "dormix/scan/JudgeAccounts.h"
#include "dormix/scan/PendingDeletions.h"
#include "dormix/scan/RunRecord.h"
#include "dormix/scan/ScanProgress.h"

// Absent: the user database held no such user; Kept: it was not asked to delete one.
enum class TervoxOutcome { Removed, Absent, Kept, Failed };

struct DeletedAccount {
    bool deleted = false;                // the folder is gone whole: the account counts as deleted
    std::optional<LogReason> logReason;  // set when the account gets a log line
    std::string logDetail;               // what the line adds to the reason, if anything
    bool keysRemoved = false;            // both key records were there and are gone
    TervoxOutcome tervoxOutcome = TervoxOutcome::Kept;
    bool quarantined = false;  // moved into the quarantine rather than deleted
};

// One dormant account of a batch.
struct BatchMember {
    AccountJudgement account;
    DeletedAccount deleted;
    bool inHand = true;  // still to be finished by this batch
    std::optional<keyindex::KeyValue> userKeyValue;  // the value of its "USER.KEY" record, once known
    bool timeRecordLeft = false;  // its "USERTIME.KEY" record outlived its "USER.KEY" record
    bool emptyFolderLeft = false;  // all but its empty folder was done before a kill
    bool untouched = false;        // a stop came before it was touched: left whole for the next run
};

// Asks progress whether to stop before the member is touched: true, and the member left whole
// and out of the batch, when it says so.
bool LeaveOnStop(BatchMember& member, ScanProgress* progress);

// Where a batch keeps its record and its pending deletions, and the run its record names.
struct BatchFiles {
    std::string installPath;
    std::string auditPath;    // "deleted.log"
    std::string pendingPath;  // the pending deletions
    RunIdentity run;
};

// What a batch is deleted under: the threshold that its accounts must still be dormant under at
// now, and whether their mail-server users go too.
struct BatchTerms {
    std::int32_t days = 0;
    std::time_t now = 0;
    bool withTervoxUsers = false;
    int graceDays = 0;  // the grace period the accounts are quarantined under; 0: none
};

enum class BatchEnd {
    Done,            // every member is as far as it could be taken; see each one's result
    AuditFailed,     // the record of a deletion could not be written: stop
    PendingFailed,   // the pending deletions could not be written: stop, no key record was touched
    // A member's "USERTIME.KEY" record outlived its "USER.KEY" record: only the pending deletions
    // on disk still lead to it, so they stay for the next scan and no later batch may replace them.
    KeysLeftPending,
};

struct BatchResult {
    BatchEnd end = BatchEnd::Done;
    TervoxDeletion tervox;  // the mail-server users that could not be deleted
};

// Reads the member's "user.ini" again right before its folder is touched, since a verdict can be
// minutes old: false, and the member left whole, uncounted and unrecorded, when it is no longer
// dormant under terms.
bool StillDormant(BatchMember& member, const BatchTerms& terms);

// Deletes the members: a folder whose own name spells no plain user name (NamesAUser) is matched
// to no key record and no mail-server user; an account no longer dormant under terms is left
// whole; an account whose folder could not be emptied keeps its key records, its mail-server user
// and its "user.ini". progress hears of each member, from number on, of count, and of each once
// it is finished. Failures are not shown; they are what the members' results say.
BatchResult DeleteDormantBatch(std::vector<BatchMember>& members, const BatchFiles& files, const BatchTerms& terms,
                               ScanProgress* progress, int number, int count);

// The accounts of a batch that an earlier scan left pending, in its order, judged under days at
// now: those to finish in hand; those whose folder holds more than "user.ini" or that are no
// longer dormant dropped with their log reason; those already gone, or gone but for their empty
// folder, dropped without one.
std::vector<BatchMember> PendingMembers(const PendingBatch& pending, std::int32_t days, std::time_t now);

// Finishes the members in hand of a batch left pending at stage, but for those whose name is
// someone's again (kept, with their log reason), and removes the empty folders left.
// progress hears of each member once it is finished.
BatchResult FinishPendingBatch(PendingStage stage, std::vector<BatchMember>& members, const BatchFiles& files,
                               const BatchTerms& terms, ScanProgress* progress);
