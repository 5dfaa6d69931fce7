#include "marqueta/app/CMarquetaApp.h"

#include "marqueta/app/Startup.h"

bool CMarquetaApp::InitInstance(platform::MessageBoxes& boxes, std::uint32_t tickCount) {
    return StartMarqueta(paths, boxes, tickCount);
}
