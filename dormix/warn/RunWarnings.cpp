#include "dormix/warn/RunWarnings.h"

#include <optional>

#include "dormix/scan/JudgeAccounts.h"
#include "dormix/warn/WarnDecision.h"
#include "dormix/warn/WarnedLog.h"

namespace {

// How many warnings dated ahead of the clock the report names one by one.
constexpr std::size_t kAheadShown = 20;

}  // namespace

std::string RunWarnings::prepare(const std::string& installPath, std::int32_t days, std::time_t now) {
    days_ = days;
    const WarnSettingsReading reading = ReadWarnSettings();
    if (!reading.problem.empty()) return reading.problem;
    settings_ = reading.settings;
    settingsNotice_ = reading.notice;
    if (!enabled()) return {};
    if (const char* refusal = WarnDaysRefusal(days, settings_.warnDays)) return refusal;
    logPath_ = WarnedLogPath(installPath);
    warned_ = ReadWarnedLog(logPath_, now);
    if (warned_.error != 0) return WarnedLogUnreadableText(logPath_, warned_.error);
    return {};
}

bool RunWarnings::concerns(const AccountJudgement& account, std::time_t now) const {
    return enabled() && PlanConcerns(account, days_, settings_.warnDays, warned_, now);
}

void RunWarnings::plan(std::vector<AccountJudgement>& accounts, std::time_t now) {
    if (!enabled()) return;
    const std::vector<WarnStep> steps = PlanWarnings(accounts, days_, settings_.warnDays, warned_, now);
    toSend_ = WarningsOf(accounts, steps);
    clockNote_ = AheadOfClockText(accounts, steps, logPath_, kAheadShown);
}

WarningRun RunWarnings::send(std::time_t now, ScanProgress& progress) {
    // The plan is as old as the question and the deletions: a user who logged on since, whose
    // "user.ini" no longer gives the last logon judged, is not warned.
    std::erase_if(toSend_, [&](const WarningToSend& warning) {
        return JudgeAccount(warning.folder, days_, now).lastLogon != std::optional<std::time_t>(warning.lastLogon);
    });
    WarningRun run;
    std::unique_ptr<MailSender> sender = makeSender_ && !toSend_.empty() ? makeSender_(settings_) : nullptr;
    if (sender) {
        run = SendWarnings(toSend_, settings_, *sender, logPath_, now, [&progress] { return progress.stopRequested(); });
    } else {
        run.server = settings_.smtpUrl;
        for (const WarningToSend& warning : toSend_) {
            run.outcomes.push_back({warning.userName, {}, false, "this program cannot send mail"});
        }
    }
    if (!settingsNotice_.empty()) run.notices.emplace_back(settingsNotice_, "Mail Password Readable");
    if (!clockNote_.empty()) run.notices.emplace_back(clockNote_, "Warnings Ahead of the Clock");
    return run;
}
