#pragma once
#include <string>

// Deletes the folder at path with everything in it, depth first. Failures are ignored: what
// cannot be deleted stays. A symbolic link is removed as a link; what it points to is never
// entered or touched. Always true.
bool DeleteFolderTree(const std::string& path);

// DeleteFolderTree when path is a real folder (not a link to one) and true; else false.
bool DeleteAccountFolder(const std::string& path);
