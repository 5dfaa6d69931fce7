#pragma once
// "dormant.log": one line for each account that the scan cannot judge.
#include <string>

#include "dormix/scan/DormixPaths.h"

enum class LogReason {
    NoUserIni,       // the folder holds no "user.ini"
    NotActivated,    // "user.ini" without a LASTLOGON value
    UnreadableDate,  // a LASTLOGON value that makes no date
    UnreadableUserIni,    // "user.ini" is there but cannot be read (too large, not a file, ...)
    KeysKeptChanging,     // a key file changed under every attempt to remove the user's record
};

// Why the account gets its line, as the line says it after the user name.
std::string LogReasonText(LogReason reason);

// "name, reason": what the log says of an account, without the line's end.
std::string AccountLogText(const std::string& userName, LogReason reason);
// The line for the user, with its trailing blank and line feed.
std::string AccountLogLine(const std::string& userName, LogReason reason);

// Appends the user's line to the log in text mode; false when the log cannot be opened.
bool LogAccount(const std::string& logPath, const std::string& userName, LogReason reason);

// Removes the log of an earlier run; a missing log is no failure.
void DeleteOldLog(const std::string& logPath);

// DeleteOldLog, but only while no scan of the installation runs: the log is then that scan's.
// False when a scan holds the installation (the log is left as it is).
bool DeleteOldLogWhenIdle(const DormixPaths& paths);

// Whether a scan deletes the log of the run before it once nothing can refuse it any more.
enum class OldLog { Keep, Delete };

// "Unable to create file " and the path: what every writer of Dormix says when it cannot.
std::string UnableToCreateFileText(const std::string& path);
