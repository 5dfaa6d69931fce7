#include "dormix/scan/FileExists.h"

#include "platform/DirectorySearch.h"

bool FileExists(const std::string& path) { return !platform::FindEntries(path).empty(); }
