#pragma once
// "deleted.log": one line for every account deleted, kept across runs, so that each deletion
// can be accounted for. Fields are separated by tabs; the line ends in CR LF.
#include <ctime>
#include <string>

#include "dormix/scan/DeleteDormantAccount.h"
#include "dormix/scan/JudgeAccounts.h"
#include "dormix/scan/RunRecord.h"

// "deleted.log" in the installation's "Log" folder.
std::string AuditLogPath(const std::string& installPath);

// The line for a deleted account: the local date and time at with its offset from UTC, the user
// name, the account folder, the last logon date, what became of the key records and the
// mail-server user, and then the run's id, threshold, origin and operator.
std::string AuditLine(const AccountJudgement& account, const DeletedAccount& deleted, std::time_t at,
                      const RunIdentity& run);

// Appends the line and has it on the disk before it returns; false when that failed.
bool AppendAuditLine(const std::string& auditPath, const std::string& line);
