#pragma once
#include <string>

// The value of key in section of the INI file at iniPath; empty when the file, the section or
// the key is missing.
std::string ReadIniSetting(const std::string& section, const std::string& key, const std::string& iniPath);
