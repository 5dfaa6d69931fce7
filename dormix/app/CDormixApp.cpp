#include "dormix/app/CDormixApp.h"

#include "dormix/app/CDormixDialog.h"
#include "platform/qt/QtMessageBoxes.h"

bool CDormixApp::LoadSettings(platform::MessageBoxes& boxes) {
    DormixPaths derived;
    if (!LoadDormixPaths(boxes, derived)) return false;
    installPath = derived.installPath;
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
