#pragma once
// The warnings of one run, in the order the scan needs them: read the settings and the record
// before anything is deleted, plan over the judged accounts, send after the deletions.
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "dormix/scan/JudgeAccounts.h"
#include "dormix/warn/MailSender.h"
#include "dormix/warn/SendWarnings.h"
#include "dormix/warn/WarnPlan.h"
#include "dormix/warn/WarnSettings.h"

class RunWarnings {
public:
    // Reads the settings of "VELTA.INI" and, with warnings on, "warned.log". Empty, or why the
    // run must delete nothing (the words end in "Nothing was deleted.").
    std::string prepare(const std::string& installPath, std::int32_t days);

    bool enabled() const { return settings_.enabled(); }

    // With warnings on, turns to Kept every dormant account that may not go yet and remembers
    // whom to warn; without, changes nothing.
    void plan(std::vector<AccountJudgement>& accounts, std::time_t now);
    const std::vector<WarnStep>& steps() const { return steps_; }
    int toWarn() const { return static_cast<int>(toSend_.size()); }

    // Sends the planned warnings through a sender from makeSender (none given: every warning
    // fails) and records them. Nothing is sent when none is planned.
    WarningRun send(const MailSenderFactory& makeSender, std::time_t now) const;

private:
    std::int32_t days_ = 0;
    std::string logPath_;
    WarnSettings settings_;
    WarnedLog warned_;
    std::vector<WarnStep> steps_;
    std::vector<WarningToSend> toSend_;
};
