#include "dormix/scan/ReadIniSetting.h"

#include "platform/ProfileFile.h"

std::string ReadIniSetting(const std::string& section, const std::string& key, const std::string& iniPath) {
    return platform::ReadProfileString(iniPath, section, key);
}
