#include "dormix/warn/RunWarnings.h"

#include "dormix/warn/WarnDecision.h"
#include "dormix/warn/WarnedLog.h"

std::string RunWarnings::prepare(const std::string& installPath, std::int32_t days) {
    days_ = days;
    const WarnSettingsReading reading = ReadWarnSettings();
    if (!reading.problem.empty()) return reading.problem;
    settings_ = reading.settings;
    if (!enabled()) return {};
    if (const char* refusal = WarnDaysRefusal(days, settings_.warnDays)) return refusal;
    logPath_ = WarnedLogPath(installPath);
    warned_ = ReadWarnedLog(logPath_);
    if (warned_.error != 0) return WarnedLogUnreadableText(logPath_, warned_.error);
    return {};
}

bool RunWarnings::concerns(const AccountJudgement& account, std::time_t now) const {
    return enabled() && PlanConcerns(account, days_, settings_.warnDays, warned_, now);
}

void RunWarnings::plan(std::vector<AccountJudgement>& accounts, std::time_t now) {
    if (!enabled()) return;
    toSend_ = WarningsOf(accounts, PlanWarnings(accounts, days_, settings_.warnDays, warned_, now));
}

WarningRun RunWarnings::send(std::time_t now) {
    if (toSend_.empty()) return {};
    std::unique_ptr<MailSender> sender = makeSender_ ? makeSender_(settings_) : nullptr;
    if (!sender) {
        WarningRun run;
        run.server = settings_.smtpUrl;
        for (const WarningToSend& warning : toSend_) {
            run.outcomes.push_back({warning.userName, {}, false, "this program cannot send mail"});
        }
        return run;
    }
    return SendWarnings(toSend_, settings_, *sender, logPath_, now);
}
