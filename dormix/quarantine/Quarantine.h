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
    // Deletes the mail-server users of purged accounts that the quarantining run was told to
    // delete, each only while its row is the one expected.
    std::function<TervoxDeletion(const std::vector<std::string>&, const std::vector<std::optional<TervoxRow>>&)>
        deleteTervoxUsers = [](const std::vector<std::string>& names, const std::vector<std::optional<TervoxRow>>& rows) {
            return DeleteTervoxUsers(names, rows);
        };
    // The mail-server users' rows as they stand when their accounts are quarantined.
    std::function<std::optional<std::vector<TervoxRow>>(const std::vector<std::string>&)> lookUpTervoxUsers =
        LookUpTervoxUsers;
    // True for a user name that the administrator protects: no entry of it is acted on.
    std::function<bool(const std::string&)> isProtected = [](const std::string&) { return false; };
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
// graceDays: the period they are quarantined under, kept with each (none: the period set when
// they are purged).
QuarantineRun QuarantineAccounts(const std::string& installPath, const std::vector<AccountToQuarantine>& accounts,
                                 std::time_t now, bool deleteTervoxUsers, const QuarantineEvents& events,
                                 std::optional<int> graceDays = std::nullopt);

// An entry with why nothing was done with it.
using RefusedEntry = std::pair<QuarantineEntry, std::string>;

// Finishes the steps that an earlier run left half done, at now; a purge begun is finished by the
// next purge. False when a step could not be recorded. refused, when given, receives the entries
// left alone because they do not agree with the installation.
bool SettleQuarantine(const std::string& installPath, const QuarantineEvents& events, std::time_t now,
                      std::vector<RefusedEntry>* refused = nullptr);

// The accounts in quarantine, read from their files, oldest day first, those whose purge has
// begun (and may have failed) among them; those whose file cannot be read are left out.
std::vector<QuarantineEntry> ListQuarantine(const std::string& installPath);

// The accounts whose grace period is over at now (graceDays for an entry that kept none), and
// those whose purge has begun.
std::vector<QuarantineEntry> ExpiredEntries(std::vector<QuarantineEntry> entries, int graceDays, std::time_t now);

// How many of the entries are not due at now, and the first day one of them is.
struct QuarantineWaiting {
    int count = 0;
    std::optional<std::time_t> next;
};
QuarantineWaiting WaitingEntries(const std::vector<QuarantineEntry>& entries, int graceDays, std::time_t now);

// Why the entry does not agree with the installation, so that nothing may be done with it: not in
// the day folder of its quarantine, not beside its folder (once it is in quarantine), key records
// or a user name that are not its folder's, a protected user; empty when it agrees.
std::string EntryDisagreement(const std::string& installPath, const QuarantineEntry& entry, const QuarantineEvents& events);

struct RestoreResult {
    bool restored = false;
    std::string reason;    // why not: nothing was changed
    bool stopped = false;  // a step could not be recorded
};

// Puts the account of that user name back (the latest quarantined, when several); an account
// that names no user is named by its folder's name, as the list shows it. Refused when
// it is not in quarantine, or a folder or a key record of that name exists again. Its "user.ini"
// then gives the day of the restore, now, as its last logon, so that the account is judged
// dormant again only once it has been unused for the threshold from that day on.
RestoreResult RestoreAccount(const std::string& installPath, const std::string& userName, const QuarantineEvents& events,
                             std::time_t now);

// Why an account whose purge has begun cannot be restored.
std::string PurgeBegunText(const std::string& name);

struct PurgeRun {
    std::vector<QuarantineEntry> purged;  // each says what became of its mail-server user
    std::vector<RefusedEntry> failed;     // with the reason; tried again next time
    bool stopped = false;                                          // a step could not be recorded
};

// Purges the entries: their folders removed with everything in them, their mail-server users
// deleted when their quarantining run was told to, while the name has no account folder and no
// key record again and the user is the one the database held at the quarantine (else kept, and
// the entry says why). An entry that does not agree with the installation is left alone and
// fails; a failure is kept in the entry's file until it is purged.
PurgeRun PurgeEntries(const std::string& installPath, std::vector<QuarantineEntry> entries, const QuarantineEvents& events);
