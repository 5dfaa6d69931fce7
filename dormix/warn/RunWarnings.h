#pragma once
// The warnings of one run, in the order the scan needs them: read the settings and the record
// before anything is deleted, plan over the judged accounts, send after the deletions.
#include <cstdint>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "dormix/scan/DeletionWarnings.h"
#include "dormix/warn/MailSender.h"
#include "dormix/warn/SendWarnings.h"
#include "dormix/warn/WarnPlan.h"
#include "dormix/warn/WarnSettings.h"

class RunWarnings : public DeletionWarnings {
public:
    // makeSender opens the way to the mail server when there is something to send; none (as for
    // the dry run and the preview, which send nothing): every warning would fail.
    explicit RunWarnings(MailSenderFactory makeSender = {}) : makeSender_(std::move(makeSender)) {}

    std::string prepare(const std::string& installPath, std::int32_t days, std::time_t now) override;
    bool concerns(const AccountJudgement& account, std::time_t now) const override;
    void plan(std::vector<AccountJudgement>& accounts, std::time_t now) override;
    int toWarn() const override { return static_cast<int>(toSend_.size()); }
    WarningRun send(std::time_t now, ScanProgress& progress) override;

    bool enabled() const { return settings_.enabled(); }
    const WarnSettings& settings() const { return settings_; }

private:
    MailSenderFactory makeSender_;
    std::int32_t days_ = 0;
    std::string logPath_;
    WarnSettings settings_;
    WarnedLog warned_;
    std::vector<WarningToSend> toSend_;
    std::string settingsNotice_;
    std::string clockNote_;
};
