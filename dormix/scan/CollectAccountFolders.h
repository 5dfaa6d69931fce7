#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/FileOps.h"

// Full paths of the account folders that a search of pattern finds, in the order found.
// "." and "..", the key index files "USER.KEY" and "USERTIME.KEY" (exact spelling, even when
// they are folders), files and symbolic links are passed over.
std::vector<std::string> CollectAccountFolders(const std::string& pattern);

// The same folders handed to visit one at a time, without holding the list; visit returning false
// ends the search there. 0, or why the folder holding them could not be listed in full.
platform::ErrorCode ForEachAccountFolder(const std::string& pattern, const std::function<bool(const std::string&)>& visit);
