#pragma once
#include <string>

// True when a directory search for path finds an entry (letter case ignored).
bool FileExists(const std::string& path);
