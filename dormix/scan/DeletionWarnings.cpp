#include "dormix/scan/DeletionWarnings.h"

#include <algorithm>
#include <optional>

#include "dormix/scan/DormixPaths.h"
#include "dormix/scan/LineEscape.h"

int WarningRun::warnedCount() const {
    return static_cast<int>(std::count_if(outcomes.begin(), outcomes.end(), [](const auto& o) { return o.warned; }));
}

int WarningRun::failedCount() const { return static_cast<int>(outcomes.size()) - warnedCount(); }

std::string WarnedLogPath(const std::string& installPath) { return LogFolderFile(installPath, "warned.log"); }

std::string WarningFailureText(const WarningOutcome& outcome) {
    return EscapedForLine(outcome.userName) + " (" + EscapedForLine(outcome.address) + "): " +
           EscapedForLine(outcome.answer);
}

std::string WouldWarnText(int warnings) {
    if (warnings == 0) return {};
    return std::to_string(warnings) + " account(s) would be warned by mail.";
}

std::string WarnedText(const WarningRun& run) {
    if (run.warnedCount() == 0) return {};
    return std::to_string(run.warnedCount()) + " account(s) were warned by mail.";
}

std::string KeptAfterWarningText(const WarningRun& run) {
    std::optional<std::time_t> first;
    for (const WarningOutcome& outcome : run.outcomes)
        if (outcome.warned && (!first || outcome.goesOn < *first)) first = outcome.goesOn;
    if (!first) return {};
    return std::to_string(run.warnedCount()) + " dormant account(s) were warned by mail and are kept until " +
           LogonDateText(*first) + ".";
}

std::string WarningFailuresText(const WarningRun& run, std::size_t maxLines) {
    const int failed = run.failedCount();
    if (failed == 0) return run.logProblem;
    std::string text = std::to_string(failed) + " warning(s) could not be sent";
    if (!run.server.empty()) text.append(" through ").append(run.server);
    text.append("; those accounts were kept:");
    std::size_t shown = 0;
    for (const WarningOutcome& outcome : run.outcomes) {
        if (outcome.warned) continue;
        if (shown++ == maxLines) {
            // appended piece by piece: GCC 12 warns, wrongly, of an overlap in "..." + std::string here
            text.append("\n... and ").append(std::to_string(failed - static_cast<int>(maxLines))).append(" more");
            break;
        }
        text.append("\n").append(WarningFailureText(outcome));
    }
    if (!run.logProblem.empty()) text.append("\n").append(run.logProblem);
    return text;
}
