#include "dormix/scan/ReadIniSetting.h"

platform::ProfileValue ReadIniSetting(const std::string& section, const std::string& key, const std::string& iniPath) {
    return platform::ReadProfileValue(iniPath, section, key);
}
