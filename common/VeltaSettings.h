#pragma once
// "VELTA.INI", the web-mail product's settings file, found through platform::SettingsFilePath().
#include <string>

// The value of key in section, or the empty string when the file or key is missing (at most 259 bytes).
std::string ReadVeltaSetting(const std::string& section, const std::string& key);

// Sets key in section, creating section, key or file as needed; false on failure.
bool WriteVeltaSetting(const std::string& section, const std::string& key, const std::string& value);
