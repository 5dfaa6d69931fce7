#include "marqueta/app/CMarquetaApp.h"

#include "marqueta/app/AboutBox.h"
#include "marqueta/app/CMainFrame.h"
#include "marqueta/app/Startup.h"

bool CMarquetaApp::InitInstance(platform::MessageBoxes& boxes, std::uint32_t tickCount) {
    return StartMarqueta(paths, boxes, tickCount);
}

void CMarquetaApp::OnAppAbout() {
    AboutBox about(mainFrame);
    about.exec();
}
