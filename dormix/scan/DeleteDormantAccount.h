#pragma once
// The deletion of one dormant account, whole before the next one starts.
#include <string>

#include "dormix/scan/JudgeAccounts.h"

enum class TervoxOutcome { Removed, Kept, Failed };

struct DeletedAccount {
    bool keysRemoved = false;  // both key records were there and are gone
    TervoxOutcome tervox = TervoxOutcome::Kept;
};

// Deletes the account's folder tree and key records and, with withTervoxUser, its mail-server
// user. Failures are not shown; they are what the result says.
DeletedAccount DeleteDormantAccount(const AccountJudgement& account, const std::string& installPath,
                                    bool withTervoxUser);
