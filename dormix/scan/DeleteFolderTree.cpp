#include "dormix/scan/DeleteFolderTree.h"

#include "platform/DirectorySearch.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"

bool DeleteFolderTree(const std::string& path) {
    const std::string pattern = path + platform::kSepText + "*.*";
    for (const platform::FoundEntry& entry : platform::FindEntries(pattern)) {
        if (entry.name == "." || entry.name == "..") continue;
        const std::string entryPath = platform::FoundPath(pattern, entry);
        // FindEntries never reports a link as a folder, so a link goes the way of a file.
        if (entry.isDirectory) {
            DeleteFolderTree(entryPath);
        } else {
            platform::DeleteFile(entryPath);
        }
    }
    platform::RemoveDirectory(path);
    return true;
}

bool DeleteAccountFolder(const std::string& path) {
    if (!platform::IsDirectory(path)) return false;
    return DeleteFolderTree(path);
}
