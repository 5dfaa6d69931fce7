#pragma once
// Sends the warnings that a run decided on, one after another through one sender, and records
// every warning the server took in "warned.log" before the next is sent.
#include <ctime>
#include <string>
#include <vector>

#include "dormix/warn/MailSender.h"
#include "dormix/warn/WarnSettings.h"

struct WarningToSend {
    std::string userName;
    std::time_t lastLogon = 0;  // local midnight of the last logon day
    std::time_t goesOn = 0;     // the first day a run may delete the account
};

struct WarningOutcome {
    std::string userName;
    std::string address;  // empty when the name makes no address
    bool warned = false;  // sent, taken by the server and recorded
    std::string answer;   // the server's answer, or why the warning was not sent or not recorded
};

struct WarningRun {
    std::vector<WarningOutcome> outcomes;  // one per warning, in order; those not tried are left out
    // "Unable to create file %s" when "warned.log" could not take a line (sending stopped there)
    // or be synced; empty when it took every one.
    std::string logProblem;

    int warnedCount() const;
    int failedCount() const;
    bool failed() const { return failedCount() > 0 || !logProblem.empty(); }
};

WarningRun SendWarnings(const std::vector<WarningToSend>& warnings, const WarnSettings& settings, MailSender& sender,
                        const std::string& warnedLogPath, std::time_t now);

// "%s (%s): %s": a warning that failed, for the report.
std::string WarningFailureText(const WarningOutcome& outcome);
