#pragma once
#include <string>

#include "platform/ProfileFile.h"

// The value of key in section of the INI file at iniPath; empty when the file, the section or
// the key is missing. error tells a file that is there but cannot be read (too large, not a
// regular file, no permission) from one that just lacks the key.
platform::ProfileValue ReadIniSetting(const std::string& section, const std::string& key, const std::string& iniPath);
