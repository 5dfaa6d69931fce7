#include "dormix/scan/DormixPaths.h"

#include "platform/Paths.h"

DormixPaths DormixPathsFor(const std::string& installPath) {
    using platform::kSepText;
    DormixPaths paths;
    paths.installPath = installPath;
    paths.userFolderPattern = installPath + kSepText + "user" + kSepText + "*.*";
    paths.logPath = installPath + kSepText + "Log" + kSepText + "dormant.log";
    return paths;
}
