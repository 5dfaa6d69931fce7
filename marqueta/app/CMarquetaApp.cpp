#include "marqueta/app/CMarquetaApp.h"

#include "marqueta/app/Startup.h"

CMarquetaApp::CMarquetaApp(platform::MessageBoxes& boxes, std::ostream* trace)
    : catalogue(boxes, trace), boxes_(boxes) {}

bool CMarquetaApp::InitInstance(std::uint32_t tickCount) {
    return StartMarqueta(catalogue.paths(), boxes_, tickCount);
}
