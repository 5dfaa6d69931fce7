#pragma once
// Sends the warnings that a run decided on, one after another through one sender, and records
// every warning the server took in "warned.log" before the next is sent.
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "dormix/scan/DeletionWarnings.h"
#include "dormix/warn/MailSender.h"
#include "dormix/warn/WarnSettings.h"

struct WarningToSend {
    std::string userName;
    std::time_t lastLogon = 0;  // local midnight of the last logon day
    std::time_t goesOn = 0;     // the first day a run may delete the account
    std::string folder = {};    // the account folder, read again right before the warning goes
};

// stopRequested is asked before each message: once it says yes, the message in hand was the
// last, and the rest are reported "not sent: the run was stopped".
WarningRun SendWarnings(const std::vector<WarningToSend>& warnings, const WarnSettings& settings, MailSender& sender,
                        const std::string& warnedLogPath, std::time_t now,
                        const std::function<bool()>& stopRequested = {});
