#include "dormix/scan/CollectAccountFolders.h"

#include "platform/DirectorySearch.h"

namespace {

bool IsPassedOver(const std::string& name) { return name == "USER.KEY" || name == "USERTIME.KEY"; }

}  // namespace

platform::ErrorCode ForEachAccountFolder(const std::string& pattern, const std::function<bool(const std::string&)>& visit) {
    return platform::ForEachEntry(pattern, [&](const platform::FoundEntry& entry) {
        return IsPassedOver(entry.name) || !entry.isDirectory || visit(platform::FoundPath(pattern, entry));
    });
}

std::vector<std::string> CollectAccountFolders(const std::string& pattern) {
    std::vector<std::string> folders;
    ForEachAccountFolder(pattern, [&](const std::string& folder) {
        folders.push_back(folder);
        return true;
    });
    return folders;
}
