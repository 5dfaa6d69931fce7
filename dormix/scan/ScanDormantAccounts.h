#pragma once
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <set>
#include <string>

#include "dormix/scan/AccountLog.h"
#include "dormix/scan/DormixPaths.h"
#include "dormix/scan/ProtectedAccounts.h"
#include "dormix/scan/RunRecord.h"
#include "dormix/scan/ScanReport.h"
#include "dormix/scan/ScanProgress.h"
#include "platform/MessageBox.h"

// How many dormant accounts are deleted together: their key records go in one pass over each
// key file, their mail-server users in one session. Installations of more than 100,000 users
// delete one account per hundred key records together.
inline constexpr std::size_t kDeletionBatch = 1000;

// What a front end tells a scan beyond the threshold.
struct ScanScope {
    RunOrigin origin = RunOrigin::Dialog;
    // When set, only these account folders may be deleted (a list the administrator has seen):
    // another dormant account is left for a later run, a listed one no longer dormant is kept.
    std::optional<std::set<std::string>> onlyFolders;
    // The protected accounts as the front end read them for this run; unset: read by the scan.
    std::optional<ProtectedAccounts> protectedAccounts;
    OldLog oldLog = OldLog::Keep;
    // The warnings by mail of the run, which the front ends always hand over: unset, the scan
    // warns nobody and deletes as if no warnings were asked for.
    DeletionWarnings* warnings = nullptr;
};

// Walks the account folders and deletes every account whose last logon lies more than days
// back at now: its folder tree, its key records and, when the administrator answers Yes to
// the one question, its mail-server user. Accounts it cannot judge get a line in the log;
// protected accounts are left alone. Each account is judged again right before it is touched.
// Every deletion gets its line in "deleted.log" before the next account is touched; an account
// that could not be deleted whole keeps what it has left and gets a line in the log with the
// reason. Shows nothing but the question: the report says how the scan ended and what it did,
// and ShowScanReport shows it as the dialog does. It is refused, nothing deleted, when the list
// of protected accounts was cut, another scan of the installation runs, the installation, its
// account folder or its key files cannot be found, told apart or read safely, the unfinished
// deletions cannot be read, or a log cannot be written before the first deletion; a log that
// cannot be written later breaks it off there. What a batch that an earlier scan was ended in the
// middle of had begun is finished first (that scan was answered for it); then the run is planned
// as the dry run and the preview plan it (RunPlan), and carried out step by step. The accounts in
// quarantine due for purging are purged after the question's first Yes or No, before the first
// batch, so that a cancel destroys nothing; with no dormant account they are purged only after a
// Yes to a question of their own (PurgeQuestionText). Warnings go only after an answer, or when
// there was no question to answer. A stop through progress ends the scan after the account in hand:
// the accounts of the batch in hand not yet touched are left whole for the next run. The run is recorded in the system log and each line of "deleted.log" names it. With
// OldLog::Delete the log of the run before goes once nothing refuses the scan, while the scan
// holds the installation: a refused scan changes nothing. A link in the place of a file of the
// Log folder refuses the scan.
//
// With the scope's warnings and warnings by mail on (WARNDAYS in section DORMIX of "VELTA.INI"),
// settings that could not send a warning, or a "warned.log" that cannot be read, refuse the scan;
// a dormant account is deleted only when it was warned long enough ago and has not logged on
// since, and the accounts to warn are warned after the deletions (not after a stop or a cancel);
// the report's warnings say what became of them.
ScanReport ScanDormantAccounts(std::int32_t days, const DormixPaths& paths, platform::MessageBoxes& boxes,
                               std::time_t now, ScanProgress* progress = nullptr,
                               std::size_t batchSize = kDeletionBatch, const ScanScope& scope = {});

// The question a run asks before it purges when it has no dormant account to ask about:
// "%d account(s) in quarantine are past their grace period. Purge them now? A purged account
// cannot be restored." (Yes and No, No the default; --yes answers Yes on the command line).
std::string PurgeQuestionText(std::size_t due);
