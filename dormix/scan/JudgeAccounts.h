#pragma once
// The one place that decides what becomes of each account: the scan acts on its verdicts, the
// preview and the dry run only show them. Judging reads the account folders and writes nothing.
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dormix/scan/AccountLog.h"
#include "dormix/scan/DormixPaths.h"
#include "dormix/scan/ProtectedAccounts.h"

enum class Verdict {
    Kept,       // logged on recently enough, or a logon value too short to read: left alone
    Dormant,    // to be deleted
    Logged,     // cannot be judged: gets a line in "dormant.log"
    Protected,  // on the list of protected accounts: never deleted, never logged
};

struct AccountJudgement {
    std::string folder;
    std::string userName;
    Verdict verdict = Verdict::Kept;
    LogReason logReason = LogReason::NoUserIni;  // meaningful when Logged
    std::optional<std::time_t> lastLogon;        // local midnight of the last logon day, when readable
    std::int32_t daysSince = 0;                  // whole days from lastLogon to now, when readable
    // With warnings by mail on: what a kept account awaits ("to be warned by mail; goes on ..."),
    // which the preview and the dry run show; empty otherwise.
    std::string warning;
};

// Which judged accounts a caller keeps; unset: every one.
using KeepJudgement = std::function<bool(const AccountJudgement&)>;

// How the folders are read. Several threads read and judge them at once, since on a cold cache
// each read mostly waits on the disk; 1 reads them one after another on the calling thread.
// stopRequested, when set, is asked after each account that keep has seen: true ends the judging
// there, with the accounts kept so far.
unsigned DefaultJudgingThreads();
struct JudgingWork {
    unsigned threads = DefaultJudgingThreads();
    std::function<bool()> stopRequested;
};

// Every account folder of the installation, in the order the scan meets them, judged against
// a threshold of days at now; only those that keep takes are held, so that a run over a million
// accounts holds only the ones it acts on. Whatever the threads, keep and stopRequested are called
// on the calling thread, once per account in that order, protection already applied.
struct JudgedAccounts {
    std::vector<AccountJudgement> kept;
    // Why the folder holding the accounts could not be listed in full, naming it; empty when it was.
    // The accounts kept are then not all there are, and no run may act on them.
    std::string problem;
};
JudgedAccounts JudgeAccounts(std::int32_t days, const DormixPaths& paths, const ProtectedAccounts& protectedAccounts,
                             std::time_t now, const KeepJudgement& keep = {}, const JudgingWork& work = {});

// One account folder judged again from its "user.ini" as it is now, protection aside: the scan
// asks once more right before it touches the folder, since a verdict can be minutes old by then.
AccountJudgement JudgeAccount(const std::string& folder, std::int32_t days, std::time_t now);

// What becomes of an account that unfinished deletions name: only what their batch had begun is
// finished, and only while it is still dormant.
enum class PendingVerdict {
    Finish,      // its folder holds nothing but "user.ini", which still says dormant
    Gone,        // its folder is gone: the batch finished it before it was ended
    Emptied,     // its folder is empty: the batch was ended between "user.ini" and the folder
    NotBegun,    // its folder holds more than "user.ini", or is no real folder
    NotDormant,  // its "user.ini" no longer says dormant under days
};
PendingVerdict JudgePendingAccount(const std::string& folder, std::int32_t days, std::time_t now);

// How many of the accounts are dormant.
int CountDormant(const std::vector<AccountJudgement>& accounts);

// The local date of a last logon as "YYYY-MM-DD".
std::string LogonDateText(std::time_t day);
