#pragma once
// "VELTA.INI", the web-mail product's settings file, found through platform::SettingsFilePath().
#include <string>

// The value of key in section, or the empty string when the file or key is missing (at most 259 bytes).
std::string ReadVeltaSetting(const std::string& section, const std::string& key);

// Sets key in section, creating section, key or file as needed; false on failure.
bool WriteVeltaSetting(const std::string& section, const std::string& key, const std::string& value);

// What to tell the user when the installation's path cannot be read: "Velta must be installed.",
// or, when "VELTA.INI" is there but cannot be read (too large, not a file, no permission), that
// with its path and the reason.
std::string InstallationMissingText();
