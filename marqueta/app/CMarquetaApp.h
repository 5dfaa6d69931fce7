#pragma once
// Marqueta's application state: where it works, and its one window while that exists.
#include <cstdint>

#include "marqueta/catalogue/MarquetaPaths.h"
#include "platform/MessageBox.h"

class CMainFrame;

class CMarquetaApp {
public:
    CMainFrame* mainFrame = nullptr;  // set by the main frame when it is made; not owned
    MarquetaPaths paths;

    // Settings, paths, generator and first-run catalogue; false (after its message) when the
    // program must end without a window.
    bool InitInstance(platform::MessageBoxes& boxes, std::uint32_t tickCount);
};
