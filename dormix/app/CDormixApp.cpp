#include "dormix/app/CDormixApp.h"

#include "common/VeltaSettings.h"
#include "dormix/app/CDormixDialog.h"
#include "platform/qt/QtMessageBoxes.h"

bool CDormixApp::LoadSettings(platform::MessageBoxes& boxes) {
    installPath = ReadVeltaSetting("PROGRAM", "PATH");
    if (installPath.empty()) {
        boxes.ok(InstallationMissingText());
        return false;
    }
    const DormixPaths derived = DormixPathsFor(installPath);
    userFolderPattern = derived.userFolderPattern;
    logPath = derived.logPath;
    return true;
}

bool CDormixApp::InitInstance() {
    platform::QtMessageBoxes unowned;
    if (!LoadSettings(unowned)) return false;
    CDormixDialog dialog(paths(), unowned);
    dialog.exec();
    return false;
}
