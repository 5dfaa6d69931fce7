#pragma once
#include <string>

// Deletes the folder at path with everything in it, depth first, never leaving it: a link found
// inside, or swapped in while the deletion runs, is removed as a link and what it points to is
// never entered or touched, and so is a file system mounted inside. What cannot be deleted (a
// read-only file) stays. True when the folder is gone whole.
bool DeleteFolderTree(const std::string& path);

// DeleteFolderTree when path is a real folder (not a link to one); else false.
bool DeleteAccountFolder(const std::string& path);
