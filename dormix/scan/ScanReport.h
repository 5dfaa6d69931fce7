#pragma once
// What a scan did, returned to the front end that ran it: how it ended, the accounts it deleted,
// those it could not and why, the mail-server users that failed and why, and the accounts of an
// interrupted run that it finished. The dialog shows it in boxes, the command line on its two
// streams and in its exit code; the scan itself shows nothing but its one question.
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "dormix/scan/JudgeAccounts.h"
#include "dormix/scan/DeletionWarnings.h"
#include "platform/MessageBox.h"

// What a scan says when it deletes nothing.
inline constexpr const char* kNoDormantAccounts = "There were no dormant accounts found";

// The caption of a scan that deleted nothing.
inline constexpr const char* kNothingDeletedCaption = "Nothing Deleted";

enum class ScanEnd {
    Done,          // every dormant account was taken as far as it could be
    NothingFound,  // no account was dormant, and none pending
    Refused,       // before anything was deleted: problem says why
    Broken,        // a log or record could not be written in the middle: problem says which
    Stopped,       // through progress, after the account in hand
    Cancelled,     // at the question: nothing was deleted
};

struct AccountNotDeleted {
    std::string userName;
    std::string folder;
    std::string reason;
};

// What a run did with the quarantine: its half-done steps finished first, its purges after the answer.
struct QuarantinePurges {
    std::vector<std::string> purged;            // "Purged NAME (FOLDER)" lines, one per account purged
    std::vector<AccountNotDeleted> notPurged;   // failed or refused, with why; tried again next run
    int waiting = 0;                            // accounts left in quarantine whose purge is not due
    std::optional<std::time_t> nextPurge;       // the first day one of them is due
};

struct ScanReport {
    ScanEnd end = ScanEnd::Done;
    std::string problem;         // the words of a refusal or a break
    std::string problemCaption;  // and the caption they are shown under
    int dormant = 0;             // accounts this run judged dormant (the pending ones apart)
    int taken = 0;               // of those, the accounts a batch took in hand
    std::vector<AccountJudgement> deleted;      // whole, pending ones included
    std::vector<AccountNotDeleted> notDeleted;  // dormant or pending accounts kept, with their log reason
    int tervoxFailed = 0;                       // accounts whose mail-server user may still be there
    std::string tervoxText;                     // how many and why, in the user's words
    int pendingFinished = 0;                    // accounts of an interrupted run deleted first
    int quarantined = 0;                        // of the deleted, those moved into quarantine
    std::string logPath;                        // where the reasons are
    WarningRun warnings;                        // the warnings by mail sent after the deletions
    QuarantinePurges quarantine;  // the purges of the run, whatever the grace period is now
    // With a grace period: the day until which the accounts this run quarantined can be restored.
    std::optional<std::time_t> restorableUntil;

    // Ran to its end, was stopped or cancelled: what the scan's old true meant.
    bool ranThrough() const { return end != ScanEnd::Refused && end != ScanEnd::Broken; }
    // Dormant accounts of this run that were neither deleted nor tried: left for the next run.
    int left() const { return dormant - taken; }
};

// The report in boxes, as the dialog shows it: a refusal or a break alone; otherwise (unless
// cancelled) the summary ("Successfully deleted %d account(s)!" or "There were no dormant
// accounts found", in the same box the quarantine's day and the accounts warnings keep), then how many accounts could not be deleted and where the reasons are, then
// the mail-server users that failed, then how many were warned by mail and which warnings failed;
// and, whichever way it ended but a refusal or a break, how many accounts were purged, those whose
// purge failed and how many wait in quarantine.
// The dialog names the accounts purged in the box of their count; the command line prints their
// lines as they come, before the boxes.
enum class PurgedLines { InBox, Printed };
void ShowScanReport(const ScanReport& report, platform::MessageBoxes& boxes, PurgedLines purgedLines = PurgedLines::InBox);

// After the summary under a grace period: "The accounts stay in quarantine until %s; Deleted
// Accounts... (dormix --restore NAME) brings one back."
std::string StayInQuarantineText(std::time_t until);

// The box of the accounts whose purge failed: how many, and the first of them with why.
std::string NotPurgedText(const std::vector<AccountNotDeleted>& accounts);

// "Purged N account(s) whose grace period was over."
std::string PurgedCountText(std::size_t purged);
// "N account(s) wait in quarantine; the next purge is due on DAY."
std::string WaitingText(const QuarantinePurges& purges);

// "N dormant account(s) were left for the next run.", shown after a stop.
std::string LeftForNextRunText(int left);
