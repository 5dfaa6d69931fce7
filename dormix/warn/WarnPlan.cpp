#include "dormix/warn/WarnPlan.h"

#include <algorithm>

std::vector<WarnStep> PlanWarnings(std::vector<AccountJudgement>& accounts, std::int32_t days,
                                   std::int32_t warnDays, const WarnedLog& warned, std::time_t now) {
    std::vector<WarnStep> steps;
    for (std::size_t i = 0; i < accounts.size(); ++i) {
        AccountJudgement& account = accounts[i];
        const bool judged = account.verdict == Verdict::Kept || account.verdict == Verdict::Dormant;
        if (!judged || !account.lastLogon) continue;
        const std::optional<std::time_t> lastWarned = warned.lastWarnedOf(account.userName);
        const WarnDecision decision = DecideWarning(*account.lastLogon, days, warnDays, lastWarned, now, false);
        const bool dormant = account.verdict == Verdict::Dormant;
        if (decision.action != WarnAction::Delete) account.verdict = Verdict::Kept;
        if (decision.action == WarnAction::Keep && !dormant) continue;
        steps.push_back({i, decision, lastWarned});
        const std::string goes = "; goes on " + LogonDateText(decision.goesOn);
        if (decision.action == WarnAction::Warn) account.warning = "to be warned by mail" + goes;
        if (decision.action == WarnAction::Keep) account.warning = "warned by mail on " + LogonDateText(*lastWarned) + goes;
    }
    return steps;
}

std::vector<WarningToSend> WarningsOf(const std::vector<AccountJudgement>& accounts,
                                      const std::vector<WarnStep>& steps) {
    std::vector<WarningToSend> warnings;
    for (const WarnStep& step : steps) {
        if (step.decision.action != WarnAction::Warn) continue;
        const AccountJudgement& account = accounts[step.account];
        warnings.push_back({account.userName, *account.lastLogon, step.decision.goesOn});
    }
    return warnings;
}

int CountWarnings(const std::vector<WarnStep>& steps) {
    return static_cast<int>(std::count_if(steps.begin(), steps.end(),
                                          [](const WarnStep& s) { return s.decision.action == WarnAction::Warn; }));
}
