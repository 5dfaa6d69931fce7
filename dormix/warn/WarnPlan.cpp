#include "dormix/warn/WarnPlan.h"

#include <algorithm>

#include "dormix/scan/LineEscape.h"
#include "dormix/warn/UtcTime.h"

namespace {

// The plan's step for an account judged by its date that is dormant or due a warning; none for
// the rest, which the plan leaves as they are.
std::optional<WarnStep> StepFor(const AccountJudgement& account, std::size_t i, std::int32_t days,
                                std::int32_t warnDays, const WarnedLog& warned, std::time_t now) {
    const bool judged = account.verdict == Verdict::Kept || account.verdict == Verdict::Dormant;
    if (!judged || !account.lastLogon) return std::nullopt;
    const std::optional<std::time_t> lastWarned = warned.lastWarnedOf(account.userName);
    const WarnDecision decision = DecideWarning(*account.lastLogon, days, warnDays, lastWarned, now, false);
    if (decision.action == WarnAction::Keep && account.verdict != Verdict::Dormant) return std::nullopt;
    return WarnStep{i, decision, lastWarned, warned.aheadOfClockOf(account.userName)};
}

}  // namespace

std::vector<WarnStep> PlanWarnings(std::vector<AccountJudgement>& accounts, std::int32_t days,
                                   std::int32_t warnDays, const WarnedLog& warned, std::time_t now) {
    std::vector<WarnStep> steps;
    for (std::size_t i = 0; i < accounts.size(); ++i) {
        const std::optional<WarnStep> step = StepFor(accounts[i], i, days, warnDays, warned, now);
        if (!step) continue;
        AccountJudgement& account = accounts[i];
        const WarnDecision& decision = step->decision;
        if (decision.action != WarnAction::Delete) account.verdict = Verdict::Kept;
        steps.push_back(*step);
        const std::string goes = "; goes on " + LogonDateText(decision.goesOn);
        if (decision.action == WarnAction::Warn) account.warning = "to be warned by mail" + goes;
        if (decision.action == WarnAction::Keep)
            account.warning = "warned by mail on " + LogonDateText(*step->lastWarned) + goes;
        if (step->ahead && !account.warning.empty())
            account.warning += "; its warning dated " + UtcStampText(*step->ahead) + " lies ahead of the clock";
    }
    return steps;
}

bool PlanConcerns(const AccountJudgement& account, std::int32_t days, std::int32_t warnDays, const WarnedLog& warned,
                  std::time_t now) {
    return StepFor(account, 0, days, warnDays, warned, now).has_value();
}

std::string AheadOfClockText(const std::vector<AccountJudgement>& accounts, const std::vector<WarnStep>& steps,
                             const std::string& warnedLogPath, std::size_t maxLines) {
    std::vector<const WarnStep*> ahead;
    for (const WarnStep& step : steps)
        if (step.ahead) ahead.push_back(&step);
    if (ahead.empty()) return {};
    std::string text = std::to_string(ahead.size()) + " warning(s) in " + warnedLogPath +
                       " are dated ahead of the clock and count as not sent:";
    for (std::size_t i = 0; i < ahead.size() && i < maxLines; ++i)
        text.append("\n")
            .append(EscapedForLine(accounts[ahead[i]->account].userName))
            .append(": ")
            .append(UtcStampText(*ahead[i]->ahead));
    if (ahead.size() > maxLines) text.append("\n... and ").append(std::to_string(ahead.size() - maxLines)).append(" more");
    return text;
}

std::vector<WarningToSend> WarningsOf(const std::vector<AccountJudgement>& accounts,
                                      const std::vector<WarnStep>& steps) {
    std::vector<WarningToSend> warnings;
    for (const WarnStep& step : steps) {
        if (step.decision.action != WarnAction::Warn) continue;
        const AccountJudgement& account = accounts[step.account];
        warnings.push_back({account.userName, *account.lastLogon, step.decision.goesOn, account.folder});
    }
    return warnings;
}

int CountWarnings(const std::vector<WarnStep>& steps) {
    return static_cast<int>(std::count_if(steps.begin(), steps.end(),
                                          [](const WarnStep& s) { return s.decision.action == WarnAction::Warn; }));
}
