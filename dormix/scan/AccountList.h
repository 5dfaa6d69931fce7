#pragma once
// The list of judged accounts as the Preview saves it and the command line prints it: one row
// per account that a deletion would delete or would leave with a reason, header first.
#include <string>
#include <vector>

#include "dormix/scan/CsvFile.h"
#include "dormix/scan/JudgeAccounts.h"

// Why an account that is not Dormant stays: its log reason, "protected", or for a kept account its
// note about warnings by mail (empty without one); empty for a dormant account.
std::string NotDeletedReason(const AccountJudgement& account);

// "User Name", "Account Folder", "Last Logon", "Days Since", "Note".
CsvRow AccountListHeader();

// The account's row. Its note: empty for an account to be deleted, the pending mark for one of
// the pending deletions, else why it is not deleted.
CsvRow AccountListRow(const AccountJudgement& account, bool pending = false);

// True for the accounts the list holds: the dormant ones, those logged or protected, and kept ones
// with a note about warnings by mail.
bool Listed(const AccountJudgement& account);
