#pragma once
// The one place that decides what becomes of each account: the scan acts on its verdicts, the
// preview and the dry run only show them. Judging reads the account folders and writes nothing.
#include <cstdint>
#include <ctime>
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
};

// Every account folder of the installation, in the order the scan meets them, judged against
// a threshold of days at now.
std::vector<AccountJudgement> JudgeAccounts(std::int32_t days, const DormixPaths& paths,
                                            const ProtectedAccounts& protectedAccounts, std::time_t now);

// How many of the accounts are dormant.
int CountDormant(const std::vector<AccountJudgement>& accounts);

// The local date of a last logon as "YYYY-MM-DD".
std::string LogonDateText(std::time_t day);
