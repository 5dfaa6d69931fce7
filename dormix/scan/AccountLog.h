#pragma once
// "dormant.log": one line for each account that the scan cannot judge, and for each dormant account
// that it could not delete whole, with the reason.
#include <string>

#include "dormix/scan/DormixPaths.h"

enum class LogReason {
    NoUserIni,       // the folder holds no "user.ini"
    NotActivated,    // "user.ini" without a LASTLOGON value
    UnreadableDate,  // a LASTLOGON value that makes no date
    UnreadableUserIni,    // "user.ini" is there but cannot be read (too large, not a file, ...)
    KeysKeptChanging,     // a key file changed under every attempt to remove the user's record
    KeysNotRemoved,       // a key file could not be rewritten (the detail says why)
    FolderNotDeleted,     // the folder could not be emptied or removed (the detail says why)
    PendingNotBegun,      // named by unfinished deletions, but its folder holds more than user.ini
    PendingNotDormant,    // named by unfinished deletions, but its user.ini no longer says dormant
    PendingNameInUse,     // named by unfinished deletions, but its name is someone's again (the detail says how)
};

// Why the account gets its line, as the line says it after the user name; a detail, when there
// is one, follows after a colon.
std::string LogReasonText(LogReason reason, const std::string& detail = {});

// "name, reason": what the log says of an account, without the line's end.
std::string AccountLogText(const std::string& userName, LogReason reason, const std::string& detail = {});
// The line for the user, with its trailing blank and line feed.
std::string AccountLogLine(const std::string& userName, LogReason reason, const std::string& detail = {});

// Appends the user's line to the log in text mode; false when the log cannot be opened.
bool LogAccount(const std::string& logPath, const std::string& userName, LogReason reason,
                const std::string& detail = {});

// Removes the log of an earlier run; a missing log is no failure.
void DeleteOldLog(const std::string& logPath);

// DeleteOldLog, but only while no scan of the installation runs: the log is then that scan's.
// False when a scan holds the installation (the log is left as it is).
bool DeleteOldLogWhenIdle(const DormixPaths& paths);

// Whether a scan deletes the log of the run before it once nothing can refuse it any more.
enum class OldLog { Keep, Delete };

// "Unable to create file " and the path: what every writer of Dormix says when it cannot.
std::string UnableToCreateFileText(const std::string& path);
