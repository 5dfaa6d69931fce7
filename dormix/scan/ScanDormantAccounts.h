#pragma once
#include <cstddef>
#include <cstdint>
#include <ctime>

#include "dormix/scan/AccountLog.h"
#include "dormix/scan/DormixPaths.h"
#include "dormix/scan/ScanProgress.h"
#include "platform/MessageBox.h"

// What a scan says when it deletes nothing.
inline constexpr const char* kNoDormantAccounts = "There were no dormant accounts found";

// How many dormant accounts are deleted together: their key records go in one pass over each
// key file, their mail-server users in one session.
inline constexpr std::size_t kDeletionBatch = 1000;

// Walks the account folders and deletes every account whose last logon lies more than days
// back at now: its folder tree, its key records and, when the administrator answers Yes to
// the one question, its mail-server user. Accounts it cannot judge get a line in the log;
// protected accounts are left alone. Each account is judged again right before it is touched.
// Every deletion gets its line in "deleted.log" before the next account is touched; an account
// that could not be deleted whole keeps what it has left and gets a line in the log with the
// reason. Ends with one summary box, then one that counts the accounts not deleted whole, and one
// when mail-server users could not be deleted. True when it ran to the end, was stopped through
// progress, or was cancelled at the question; false (after its message) when a log could not be
// written, the list of protected accounts was cut, another scan of the installation runs, or the
// installation, its account folder or its key files cannot be found, told apart or read safely,
// in which case nothing was deleted. What a batch that an earlier scan was ended in the middle of
// had begun is finished first. A stop through progress ends the scan after the batch in hand.
// With OldLog::Delete the log of the run before goes once nothing refuses the scan, while the
// scan holds the installation: a refused scan changes nothing. A link in the place of a file of
// the Log folder refuses the scan.
bool ScanDormantAccounts(std::int32_t days, const DormixPaths& paths, platform::MessageBoxes& boxes,
                         std::time_t now, ScanProgress* progress = nullptr, std::size_t batchSize = kDeletionBatch,
                         OldLog oldLog = OldLog::Keep);
