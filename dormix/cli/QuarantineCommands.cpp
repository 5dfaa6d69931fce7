#include "dormix/cli/QuarantineCommands.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "common/VeltaSettings.h"
#include "dormix/cli/ConsoleMessageBoxes.h"
#include "dormix/cli/DormixCommandLine.h"
#include "dormix/quarantine/GraceDays.h"
#include "dormix/scan/AccountLog.h"
#include "dormix/scan/AuditLog.h"
#include "dormix/scan/GracePeriod.h"
#include "dormix/scan/JudgeAccounts.h"
#include "dormix/scan/LineEscape.h"
#include "platform/FolderLock.h"

namespace {

constexpr const char* kQuarantineEmpty = "The quarantine is empty.";

std::string DayText(const std::optional<std::time_t>& day) { return day ? LogonDateText(*day) : std::string("-"); }

// Runs command while this run holds the installation; 4, after a box, when it cannot.
int UnderLock(const DormixPaths& paths, platform::MessageBoxes& boxes, const std::function<int(int graceDays)>& command) {
    const platform::FolderLock lock(paths.installPath, platform::FolderLock::Wait::No);
    if (lock.busy()) {
        boxes.error("Another scan of " + paths.installPath + " is running. Nothing was changed.");
        return kExitRefused;
    }
    const std::optional<int> graceDays = ReadGraceDays();
    if (!graceDays) {
        boxes.error(GraceDaysUnreadableText(ReadVeltaSetting("DORMIX", "GRACEDAYS")));
        return kExitRefused;
    }
    return command(*graceDays);
}

}  // namespace

std::string DeletedAccountLine(const QuarantineEntry& entry, const std::optional<std::time_t>& purgeDay) {
    std::string line = EscapedForLine(entry.userName) + " (" + EscapedForLine(entry.folderName) + "), last logon " +
                       DayText(entry.lastLogon) + ", quarantined on " + DayText(entry.quarantinedOn) + ", purged on " +
                       DayText(purgeDay);
    if (entry.stage == EntryStage::Purging) line += ", " + PurgeStateText(entry);
    return line;
}

// Only reads: it lists while a run holds the installation, as that run left the quarantine so far.
// The first purge due comes first; an entry whose day cannot be told comes last.
int ListDeletedCommand(const DormixPaths& paths, platform::MessageBoxes& boxes) {
    const std::optional<int> graceDays = ReadGraceDays();
    if (!graceDays) {
        boxes.error(GraceDaysUnreadableText(ReadVeltaSetting("DORMIX", "GRACEDAYS")));
        return kExitRefused;
    }
    std::vector<std::pair<std::optional<std::time_t>, QuarantineEntry>> listed;
    for (QuarantineEntry& entry : ListQuarantine(paths.installPath))
        listed.emplace_back(EntryPurgeDay(entry, *graceDays), std::move(entry));
    std::stable_sort(listed.begin(), listed.end(), [](const auto& a, const auto& b) {
        return a.first && (!b.first || *a.first < *b.first);
    });
    if (listed.empty()) PrintLine(kQuarantineEmpty);
    for (const auto& [purgeDay, entry] : listed) PrintLine(DeletedAccountLine(entry, purgeDay));
    return kExitOk;
}

int RestoreCommand(const DormixPaths& paths, const std::vector<std::string>& names, std::time_t now,
                   platform::MessageBoxes& boxes) {
    return UnderLock(paths, boxes, [&](int) -> int {
        const QuarantineEvents events =
            AuditedEvents(paths.installPath, NewRunIdentity(0, RunOrigin::CommandLine, now), now);
        int code = kExitOk;
        for (const std::string& name : names) {
            const RestoreResult result = RestoreAccount(paths.installPath, name, events, now);
            if (result.restored) PrintLine("Restored " + EscapedForLine(name));
            else boxes.error(EscapedForLine(result.reason));
            if (!result.restored) code = kExitFailures;
            if (result.stopped) {
                boxes.error(UnableToCreateFileText(AuditLogPath(paths.installPath)));
                return kExitFailures;
            }
        }
        return code;
    });
}

int PurgeCommand(const DormixPaths& paths, std::time_t now, platform::MessageBoxes& boxes) {
    return UnderLock(paths, boxes, [&](int graceDays) -> int {
        const QuarantineEvents events =
            AuditedEvents(paths.installPath, NewRunIdentity(0, RunOrigin::CommandLine, now), now);
        std::vector<RefusedEntry> refused;
        if (!SettleQuarantine(paths.installPath, events, now, &refused)) {
            boxes.error(UnableToCreateFileText(AuditLogPath(paths.installPath)));
            return kExitRefused;
        }
        std::vector<QuarantineEntry> entries = ListQuarantine(paths.installPath);
        const QuarantineWaiting waiting = WaitingEntries(entries, graceDays, now);
        std::vector<QuarantineEntry> due = ExpiredEntries(std::move(entries), graceDays, now);
        if (due.empty() && refused.empty()) {
            PrintLine(waiting.count == 0 ? std::string(kQuarantineEmpty)
                                         : "Nothing is due for purging; the next purge is due on " + DayText(waiting.next) + ".");
            return kExitOk;
        }
        PurgeRun run = PurgeEntries(paths.installPath, std::move(due), events);
        for (const QuarantineEntry& entry : run.purged) PrintLine(PurgedLine(paths.installPath, entry));
        run.failed.insert(run.failed.begin(), refused.begin(), refused.end());
        for (const AccountNotDeleted& account : NotPurgedAccounts(paths.installPath, run.failed))
            boxes.error(EscapedForLine(account.userName) + " could not be purged: " + EscapedForLine(account.reason));
        if (run.stopped) boxes.error(UnableToCreateFileText(AuditLogPath(paths.installPath)));
        return run.failed.empty() && !run.stopped ? kExitOk : kExitFailures;
    });
}
