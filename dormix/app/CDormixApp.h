#pragma once
// Dormix's start-up: it finds the installation through "VELTA.INI" and runs the threshold
// dialog; the program ends when the dialog closes.
#include <string>

#include "dormix/scan/DormixPaths.h"
#include "platform/MessageBox.h"

class CDormixApp {
public:
    std::string logPath;
    std::string userFolderPattern;
    std::string installPath;

    // Reads the installation's path and derives the others. False, after "Velta must be
    // installed.", when "VELTA.INI" names none.
    bool LoadSettings(platform::MessageBoxes& boxes);

    // Runs the program; always false, as nothing is left to do when it returns.
    bool InitInstance();

    DormixPaths paths() const { return {installPath, userFolderPattern, logPath}; }
};
