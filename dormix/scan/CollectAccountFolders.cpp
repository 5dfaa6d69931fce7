#include "dormix/scan/CollectAccountFolders.h"

#include "platform/DirectorySearch.h"

namespace {

bool IsPassedOver(const std::string& name) {
    return name == "." || name == ".." || name == "USER.KEY" || name == "USERTIME.KEY";
}

}  // namespace

std::vector<std::string> CollectAccountFolders(const std::string& pattern) {
    std::vector<std::string> folders;
    for (const platform::FoundEntry& entry : platform::FindEntries(pattern)) {
        if (IsPassedOver(entry.name) || !entry.isDirectory) continue;
        folders.push_back(platform::FoundPath(pattern, entry));
    }
    return folders;
}
