#include "dormix/scan/Preflight.h"

#include "common/VeltaSettings.h"
#include "dormix/quarantine/GraceDays.h"
#include "dormix/quarantine/Quarantine.h"
#include "dormix/scan/AccountLog.h"
#include "dormix/scan/CheckUserFolder.h"
#include "dormix/scan/DeleteTervoxUsers.h"
#include "dormix/scan/PendingDeletions.h"
#include "platform/SafeWrite.h"

std::vector<std::string> DeletionPreflight(const DormixPaths& paths, bool withTervoxUsers) {
    std::vector<std::string> problems;
    if (std::string problem = LogFileProblem(paths); !problem.empty()) {
        problems.push_back(std::move(problem));
    } else {
        // A file that can be made in the Log folder, and is discarded at once (never beside the
        // file a link names: links were ruled out above).
        const platform::AtomicFile probe(paths.logPath, ".dormix-check");
        if (!probe.isOpen()) problems.push_back(UnableToCreateFileText(paths.logPath));
    }
    const std::string pendingPath = PendingDeletionsPath(paths.installPath);
    PendingBatch pending;
    if (ReadPendingDeletions(pendingPath, paths.userFolderPattern, pending) == PendingRead::Unreadable)
        problems.push_back(PendingUnreadableText(pendingPath));
    const std::string userFolderProblem = UserFolderProblem(paths.installPath);
    if (!userFolderProblem.empty()) problems.push_back(userFolderProblem);
    const std::optional<int> graceDays = ReadGraceDays();
    if (!graceDays) problems.push_back(GraceDaysUnreadableText(ReadVeltaSetting("DORMIX", "GRACEDAYS")));
    if (graceDays.value_or(0) > 0 && userFolderProblem.empty()) {
        if (std::string problem = QuarantineProblem(paths.installPath); !problem.empty())
            problems.push_back(std::move(problem));
    }
    if (withTervoxUsers) {
        if (std::string problem = TervoxDatabaseProblem(); !problem.empty())
            problems.push_back("The mail server's user database cannot be used: " + problem + ".");
    }
    return problems;
}
