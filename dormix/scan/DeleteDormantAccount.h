#pragma once
// The deletion of one dormant account, in an order that a kill or a failure at any step leaves
// the account to be found again by the next scan: everything in its folder but "user.ini", then
// its key records and its mail-server user, then "user.ini" and the folder itself.
#include <optional>
#include <string>

#include "dormix/scan/AccountLog.h"
#include "dormix/scan/DeleteTervoxUsers.h"
#include "dormix/scan/JudgeAccounts.h"

enum class TervoxOutcome { Removed, Kept, Failed };

struct DeletedAccount {
    bool deleted = false;                // the folder is gone whole: the account counts as deleted
    std::optional<LogReason> logReason;  // set when the account gets a log line
    bool keysRemoved = false;            // both key records were there and are gone
    TervoxOutcome tervoxOutcome = TervoxOutcome::Kept;
    TervoxDeletion tervox;  // why the mail-server user could not be removed, when it could not

    // Something that a later scan cannot bring back or redo went: the deletion is recorded.
    bool recorded() const { return deleted || keysRemoved || tervoxOutcome == TervoxOutcome::Removed; }
};

// A folder whose own name spells no plain user name (NamesAUser) is matched to no key record and
// no mail-server user. An account whose folder could not be emptied keeps its key records, its
// mail-server user and its "user.ini". Failures are not shown; they are what the result says.
DeletedAccount DeleteDormantAccount(const AccountJudgement& account, const std::string& installPath,
                                    bool withTervoxUser);
