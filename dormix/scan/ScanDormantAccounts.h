#pragma once
#include <cstddef>
#include <cstdint>
#include <ctime>

#include "dormix/scan/AccountLog.h"
#include "dormix/scan/DormixPaths.h"
#include "dormix/scan/ScanProgress.h"
#include "dormix/warn/MailSender.h"
#include "dormix/warn/SendWarnings.h"
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
//
// With warnings by mail on (WARNDAYS in section DORMIX of "VELTA.INI"), settings that could not
// send a warning, or a "warned.log" that cannot be read, refuse the scan; a dormant account is
// deleted only when it was warned long enough ago and has not logged on since, and the accounts
// to warn are warned after the deletions (not after a stop or a cancel) through mail->sender;
// boxes after the summary say how many were warned and which warnings failed.
struct ScanMail {
    MailSenderFactory sender;  // the front end's way to the mail server; none: no warning can go
    WarningRun sent;           // what became of this run's warnings
    bool failuresInABox = true;  // false: the front end tells the failures its own way
};
bool ScanDormantAccounts(std::int32_t days, const DormixPaths& paths, platform::MessageBoxes& boxes,
                         std::time_t now, ScanProgress* progress = nullptr, std::size_t batchSize = kDeletionBatch,
                         OldLog oldLog = OldLog::Keep, ScanMail* mail = nullptr);
