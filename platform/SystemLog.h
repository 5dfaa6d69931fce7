#pragma once
// A copy of what a program did, kept where no one who can write the installation can change it:
// syslog(3) on POSIX, the Application event log on Windows.
#include <functional>
#include <string>

namespace platform {

// Sends one record under identifier.
void WriteSystemLog(const std::string& identifier, const std::string& text);

// For tests: while a sink is set, records go to it instead of the system; an empty one restores.
using SystemLogSink = std::function<void(const std::string& identifier, const std::string& text)>;
void RedirectSystemLog(SystemLogSink sink);

// Who runs the program: the user name of the process, else its number.
std::string OperatorName();

// True when standard error is a terminal that a person watches, not a file, pipe or cron mail.
bool StandardErrorIsTerminal();

}  // namespace platform
