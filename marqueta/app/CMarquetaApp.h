#pragma once
// Marqueta's application state: the catalogue with the paths where it works, and its one window
// while that exists.
#include <cstdint>
#include <iosfwd>

#include "marqueta/document/Catalogue.h"
#include "platform/MessageBox.h"

class CMainFrame;

class CMarquetaApp {
public:
    // boxes answers every message box of the program; the catalogue's trace lines go to trace
    // (standard output when null). Both must outlive the application.
    explicit CMarquetaApp(platform::MessageBoxes& boxes, std::ostream* trace = nullptr);

    CMainFrame* mainFrame = nullptr;  // set by the main frame when it is made; not owned
    Catalogue catalogue;              // the list shows it; start-up fills its paths

    // Settings, paths, generator and first-run catalogue; false (after its message) when the
    // program must end without a window.
    bool InitInstance(std::uint32_t tickCount);

private:
    platform::MessageBoxes& boxes_;
};
