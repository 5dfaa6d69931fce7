#pragma once
// The quarantine of deleted accounts during the grace period: moving accounts in, listing them,
// restoring one, purging those whose period is over, and finishing whatever a killed run left
// half done. Every step is ordered so that a run killed anywhere and run again ends as one
// uninterrupted run would. The caller holds the installation's lock throughout.
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dormix/quarantine/QuarantineEntry.h"
#include "dormix/scan/DeleteTervoxUsers.h"

enum class QuarantineEvent { Quarantined, Restored, Purged };

struct QuarantineEvents {
    // Records a step once taken, for each of the entries at once; false when it could not be
    // recorded: the run stops there, and the next run records it before it goes on.
    std::function<bool(const std::vector<QuarantineEntry>&, QuarantineEvent)> record =
        [](const std::vector<QuarantineEntry>&, QuarantineEvent) { return true; };
    // Deletes the mail-server users of purged accounts that the quarantining run was told to delete.
    std::function<TervoxDeletion(const std::vector<std::string>&)> deleteTervoxUsers = DeleteTervoxUsers;
};

// Makes PATH/Quarantine when it is missing and checks that the account folders can be moved into
// it by one rename. Empty when they can, else the refusal, naming both folders.
std::string PrepareQuarantine(const std::string& installPath);
// The refusal PrepareQuarantine would give, found without changing anything on disk (a missing
// folder is judged by the place it would be made in); empty when there is none.
std::string QuarantineProblem(const std::string& installPath);

struct AccountToQuarantine {
    std::string folderPath;                 // the account folder, in PATH/user
    std::string userName;                   // empty: a folder that names no user (no key records)
    std::optional<std::time_t> lastLogon;
};

// Why an account's key records stayed, when they did.
enum class KeysLeft { None, KeptChanging, NotRemoved };

struct QuarantineOutcome {
    bool quarantined = false;
    std::string reason;  // why not, in the user's words (for keysLeft, the system's error, if any)
    // A key record could not be removed: the account is back in its place, or, when its "USER.KEY"
    // record went, left in quarantine for the next run to finish.
    KeysLeft keysLeft = KeysLeft::None;
};

struct QuarantineRun {
    std::vector<QuarantineOutcome> accounts;  // one per account, in order
    bool stopped = false;                     // a step could not be recorded
};

// Quarantines the accounts on the day of now: each one's key records are kept beside the place of
// its folder, the folder is moved there, and then the key records of all of them are removed at
// once. deleteTervoxUsers: the purge is to delete their mail-server users.
QuarantineRun QuarantineAccounts(const std::string& installPath, const std::vector<AccountToQuarantine>& accounts,
                                 std::time_t now, bool deleteTervoxUsers, const QuarantineEvents& events);

// Finishes the steps that an earlier run left half done, at now. False when a step could not be
// recorded.
bool SettleQuarantine(const std::string& installPath, const QuarantineEvents& events, std::time_t now);

// The accounts in quarantine, read from their files, oldest day first; those whose file cannot
// be read are left out.
std::vector<QuarantineEntry> ListQuarantine(const std::string& installPath);

// The accounts whose grace period of graceDays is over at now.
std::vector<QuarantineEntry> ExpiredEntries(std::vector<QuarantineEntry> entries, int graceDays, std::time_t now);

struct RestoreResult {
    bool restored = false;
    std::string reason;    // why not: nothing was changed
    bool stopped = false;  // a step could not be recorded
};

// Puts the account of that user name back (the latest quarantined, when several). Refused when
// it is not in quarantine, or a folder or a key record of that name exists again. Its "user.ini"
// then gives the day of the restore, now, as its last logon, so that the account is judged
// dormant again only once it has been unused for the threshold from that day on.
RestoreResult RestoreAccount(const std::string& installPath, const std::string& userName, const QuarantineEvents& events,
                             std::time_t now);

struct PurgeRun {
    std::vector<QuarantineEntry> purged;
    std::vector<std::pair<QuarantineEntry, std::string>> failed;  // with the reason; tried again next time
    bool stopped = false;                                          // a step could not be recorded
};

// Purges the entries: their folders removed with everything in them, their mail-server users
// deleted when their quarantining run was told to.
PurgeRun PurgeEntries(const std::string& installPath, std::vector<QuarantineEntry> entries, const QuarantineEvents& events);
