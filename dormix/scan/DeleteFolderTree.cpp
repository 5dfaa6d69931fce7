#include "dormix/scan/DeleteFolderTree.h"

#include "platform/FolderRemoval.h"

bool DeleteFolderTree(const std::string& path) { return platform::RemoveFolderTree(path); }

bool DeleteAccountFolder(const std::string& path) { return DeleteFolderTree(path); }
