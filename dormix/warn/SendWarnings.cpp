#include "dormix/warn/SendWarnings.h"

#include <cstdio>
#include <random>

#include "dormix/scan/AccountLog.h"
#include "dormix/scan/LastLogon.h"
#include "dormix/warn/UtcTime.h"
#include "dormix/warn/WarnDecision.h"
#include "dormix/warn/WarnedLog.h"
#include "dormix/warn/WarningMessage.h"

namespace {

// A record lost in a crash only means a second warning, never a deletion without one: the log is
// synced after every so many lines and at the end, not after each, which would cost the disk a
// flush per message.
constexpr std::size_t kSyncEvery = 100;

// Unique across runs and machines without asking the system for a process id.
std::string MessageIdPrefix(std::time_t now) {
    std::random_device entropy;
    char text[64];
    std::snprintf(text, sizeof text, "dormix.%lld.%08x%08x", static_cast<long long>(now), entropy(), entropy());
    return text;
}

}  // namespace

WarningRun SendWarnings(const std::vector<WarningToSend>& warnings, const WarnSettings& settings, MailSender& sender,
                        const std::string& warnedLogPath, std::time_t now, const std::function<bool()>& stopRequested) {
    WarningRun run;
    run.server = settings.smtpUrl;
    const std::string idPrefix = MessageIdPrefix(now);
    const std::time_t today = LocalDayOf(now);
    std::size_t unsynced = 0;
    std::string notSent;  // once the server is out of reach or a stop is asked for, the rest are not tried
    for (const WarningToSend& warning : warnings) {
        WarningOutcome outcome{warning.userName, {}, false, {}, warning.goesOn};
        const std::optional<std::string> address = UserAddress(warning.userName, settings.mailDomain);
        if (notSent.empty() && stopRequested && stopRequested()) {
            run.stopped = true;
            notSent = "the run was stopped";
        }
        if (!address || !notSent.empty()) {
            outcome.address = address.value_or("");
            outcome.answer = address ? "not sent: " + notSent : "no mail address can be made of this name";
            run.outcomes.push_back(outcome);
            continue;
        }
        outcome.address = *address;
        const std::int32_t daysLeft = AgeInDays(warning.goesOn, today);
        const WarningFacts facts{warning.userName, *address, warning.lastLogon, warning.goesOn, daysLeft};
        const std::string id = idPrefix + "." + std::to_string(run.outcomes.size());
        const std::string message =
            ComposeWarning(settings.mailFrom, facts, FillWarningText(settings.warnText, facts), now, id);
        const SendResult sent = sender.send(settings.mailFrom, *address, message);
        outcome.answer = sent.answer;
        if (sent.serverFailed) notSent = sent.answer;
        if (sent.accepted) {
            const bool sync = ++unsynced == kSyncEvery;
            if (sync) unsynced = 0;
            outcome.warned =
                RecordWarning(warnedLogPath, WarnedLine(warning.userName, now, *address, sent.answer), sync);
            if (!outcome.warned) outcome.answer = "sent, but " + warnedLogPath + " could not take its line";
        }
        run.outcomes.push_back(outcome);
        if (sent.accepted && !outcome.warned) break;
    }
    const bool stoppedByLog = !run.outcomes.empty() && run.outcomes.back().answer.rfind("sent, but ", 0) == 0;
    if (stoppedByLog || (unsynced > 0 && !RecordWarning(warnedLogPath, "", true))) {
        run.logProblem = UnableToCreateFileText(warnedLogPath);
    }
    return run;
}
