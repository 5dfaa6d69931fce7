#include "dormix/scan/DormixPaths.h"

#include "common/VeltaSettings.h"
#include "platform/Paths.h"

std::string LogFolderFile(const std::string& installPath, const std::string& name) {
    return installPath + platform::kSepText + "Log" + platform::kSepText + name;
}

DormixPaths DormixPathsFor(const std::string& installPath) {
    using platform::kSepText;
    DormixPaths paths;
    paths.installPath = installPath;
    paths.userFolderPattern = installPath + kSepText + "user" + kSepText + "*.*";
    paths.logPath = LogFolderFile(installPath, "dormant.log");
    return paths;
}

bool LoadDormixPaths(platform::MessageBoxes& boxes, DormixPaths& paths) {
    const std::string installPath = ReadVeltaSetting("PROGRAM", "PATH");
    if (installPath.empty()) {
        boxes.error(InstallationMissingText());
        return false;
    }
    paths = DormixPathsFor(installPath);
    return true;
}
