#include "dormix/scan/CheckUserFolder.h"

#include <vector>

#include "dormix/scan/AuditLog.h"
#include "dormix/scan/PendingDeletions.h"
#include "platform/DirectorySearch.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"

namespace {

using platform::FoundEntry;

constexpr const char* kNothingDeleted = " Nothing was deleted.";

// The entry of folder named name, letter case ignored: the exact spelling when there is one, else
// the only match. Several matches without the exact spelling leave found empty and set problem.
bool PickEntry(const std::string& folder, const std::string& name, FoundEntry& found, std::string& problem) {
    const std::string pattern = folder + platform::kSepText + name;
    const std::vector<FoundEntry> matches = platform::FindEntries(pattern);
    for (const FoundEntry& entry : matches) {
        if (entry.name != name) continue;
        found = entry;
        return true;
    }
    if (matches.size() > 1) {
        problem = platform::FoundPath(pattern, matches[0]) + " and " + platform::FoundPath(pattern, matches[1]) +
                  " differ only in letter case; rename or remove one of them." + kNothingDeleted;
        return false;
    }
    if (matches.empty()) return false;
    found = matches[0];
    return true;
}

// A key file that would hang or fail the removal of key records after a folder is gone. A folder
// of that name holds no records and is passed over, as the account search passes it over.
std::string KeyFileProblem(const std::string& userFolder, const char* name) {
    FoundEntry entry;
    std::string problem;
    if (!PickEntry(userFolder, name, entry, problem)) return problem;
    const std::string path = userFolder + platform::kSepText + entry.name;
    if (entry.isDirectory || platform::CanOpenForReading(path)) return {};
    return "The key file " + path + " is not a regular file that can be read." + kNothingDeleted;
}

}  // namespace

std::string UserFolderProblem(const std::string& installPath) {
    // A folder lists at least its "." entry: nothing at all means there is no folder to search,
    // which is no installation without dormant accounts.
    if (platform::FindEntries(installPath + platform::kSepText + "*").empty())
        return "The installation folder " + installPath + " cannot be found." + kNothingDeleted;
    FoundEntry userFolder;
    std::string problem;
    if (!PickEntry(installPath, "user", userFolder, problem)) return problem;
    const std::string folder = installPath + platform::kSepText + userFolder.name;
    for (const char* keyFile : {"USER.KEY", "USERTIME.KEY"}) {
        problem = KeyFileProblem(folder, keyFile);
        if (!problem.empty()) return problem;
    }
    return {};
}

std::string LogFileProblem(const DormixPaths& paths) {
    for (const std::string& path :
         {paths.logPath, AuditLogPath(paths.installPath), PendingDeletionsPath(paths.installPath),
          WarnedLogPath(paths.installPath)}) {
        if (platform::IsLink(path))
            return "The log file " + path + " is a link, which Dormix does not write through." + kNothingDeleted;
    }
    return {};
}
