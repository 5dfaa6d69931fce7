#pragma once
// The three paths of an installation that the scan works on.
#include <string>

#include "platform/MessageBox.h"

struct DormixPaths {
    std::string installPath;        // the installation's folder, as "VELTA.INI" names it
    std::string userFolderPattern;  // search pattern for the account folders
    std::string logPath;            // "dormant.log" in the installation's "Log" folder
};

// A file of the installation's "Log" folder, where the scan keeps every file it writes.
std::string LogFolderFile(const std::string& installPath, const std::string& name);

// The paths of the installation at installPath, joined as they stand: no separator is added
// or removed, so a path ending in a separator gives a doubled one.
DormixPaths DormixPathsFor(const std::string& installPath);

// The paths of the installation that "VELTA.INI" names into paths. False, after "Velta must be
// installed.", when it names none.
bool LoadDormixPaths(platform::MessageBoxes& boxes, DormixPaths& paths);
