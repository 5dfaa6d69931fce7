#pragma once
// The deletion of one dormant account, in an order that a kill or a failure at any step leaves
// the account to be found again by the next scan: everything in its folder but "user.ini", then
// its key records and its mail-server user, then "user.ini" and the folder itself.
#include <optional>
#include <string>

#include "dormix/scan/AccountLog.h"
#include "dormix/scan/DeleteTervoxUsers.h"

struct AccountDeletion {
    bool deleted = false;               // the folder is gone whole: the account counts as deleted
    std::optional<LogReason> logReason;  // set when the account gets a log line
    TervoxDeletion tervox;              // the mail-server user, when it was to go as well
};

// A folder whose own name spells no plain user name (NamesAUser) is matched to no key record and
// no mail-server user. An account whose folder could not be emptied keeps its key records, its
// mail-server user and its "user.ini".
AccountDeletion DeleteDormantAccount(const std::string& folder, const std::string& installPath, bool withTervoxUser);
