#include "common/VeltaSettings.h"

#include "platform/FileOps.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"

std::string ReadVeltaSetting(const std::string& section, const std::string& key) {
    return platform::ReadProfileString(platform::SettingsFilePath(), section, key);
}

bool WriteVeltaSetting(const std::string& section, const std::string& key, const std::string& value) {
    return platform::WriteProfileString(platform::SettingsFilePath(), section, key, value);
}

std::string InstallationMissingText() {
    const std::string path = platform::SettingsFilePath();
    std::string text;
    const platform::ErrorCode error = platform::ReadFileLimited(path, text, platform::kMaxProfileFileBytes);
    if (error == 0 || !platform::PathExists(path)) return "Velta must be installed.";
    return "The settings file " + path + " cannot be read: " + platform::SystemErrorText(error);
}
