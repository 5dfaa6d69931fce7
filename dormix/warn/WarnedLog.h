#pragma once
// "warned.log": one line for every warning the mail server took, kept across runs. A dormant
// account goes only once this log shows it was warned, after its last logon, long enough ago.
// Fields are separated by tabs: the UTC time, the user name, the address and the server's
// answer, names escaped as every log escapes them; the line ends in CR LF.
#include <ctime>
#include <limits>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/FileOps.h"

std::string WarnedLine(const std::string& userName, std::time_t at, const std::string& address,
                       const std::string& answer);

// Appends the line; with sync, it and every line before it are on the disk before it returns.
// False when that failed.
bool RecordWarning(const std::string& warnedLogPath, const std::string& line, bool sync = true);

struct WarnedLog {
    platform::ErrorCode error = 0;  // why the log could not be read; a missing log reads as empty
    std::unordered_map<std::string, std::time_t> lastWarned;    // by escaped user name, not after now
    std::unordered_map<std::string, std::time_t> aheadOfClock;  // the latest dated after now, if any

    // When the user was last warned, not after now; nullopt when never.
    std::optional<std::time_t> lastWarnedOf(const std::string& userName) const;
    // The user's latest warning dated after now: recorded while the clock ran ahead, it counts
    // as not sent. nullopt when none.
    std::optional<std::time_t> aheadOfClockOf(const std::string& userName) const;
};

// Reads the log back as at now. A line it cannot read counts as no warning: such an account is
// warned again rather than deleted unwarned.
WarnedLog ReadWarnedLog(const std::string& warnedLogPath,
                        std::time_t now = std::numeric_limits<std::time_t>::max());

// "The record of warnings %s cannot be read: %s. Nothing was deleted."
std::string WarnedLogUnreadableText(const std::string& warnedLogPath, platform::ErrorCode error);
