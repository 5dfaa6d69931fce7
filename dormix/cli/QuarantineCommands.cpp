#include "dormix/cli/QuarantineCommands.h"

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
    return EscapedForLine(entry.userName) + " (" + EscapedForLine(entry.folderName) + "), last logon " +
           DayText(entry.lastLogon) + ", quarantined on " + DayText(entry.quarantinedOn) + ", purged on " + DayText(purgeDay);
}

int ListDeletedCommand(const DormixPaths& paths, platform::MessageBoxes& boxes) {
    return UnderLock(paths, boxes, [&](int graceDays) -> int {
        for (const QuarantineEntry& entry : ListQuarantine(paths.installPath))
            PrintLine(DeletedAccountLine(entry, PurgeDay(entry.day, graceDays)));
        return kExitOk;
    });
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
        if (!SettleQuarantine(paths.installPath, events, now)) {
            boxes.error(UnableToCreateFileText(AuditLogPath(paths.installPath)));
            return kExitRefused;
        }
        const PurgeRun run =
            PurgeEntries(paths.installPath, ExpiredEntries(ListQuarantine(paths.installPath), graceDays, now), events);
        for (const QuarantineEntry& entry : run.purged) PrintLine("Purged " + EscapedForLine(entry.userName));
        for (const auto& [entry, reason] : run.failed)
            boxes.error(EscapedForLine(entry.userName) + " could not be purged: " + EscapedForLine(reason));
        if (run.stopped) boxes.error(UnableToCreateFileText(AuditLogPath(paths.installPath)));
        return run.failed.empty() && !run.stopped ? kExitOk : kExitFailures;
    });
}
