#include "common/VeltaSettings.h"

#include "platform/Paths.h"
#include "platform/ProfileFile.h"

std::string ReadVeltaSetting(const std::string& section, const std::string& key) {
    return platform::ReadProfileString(platform::SettingsFilePath(), section, key);
}

bool WriteVeltaSetting(const std::string& section, const std::string& key, const std::string& value) {
    return platform::WriteProfileString(platform::SettingsFilePath(), section, key, value);
}
