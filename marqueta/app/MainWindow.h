#pragma once
// Building Marqueta's window from a started application, for the program and for tests.
#include <ctime>
#include <functional>
#include <iosfwd>
#include <memory>

#include "marqueta/app/CMainFrame.h"
#include "marqueta/app/CMarquetaApp.h"
#include "platform/MessageBox.h"

struct MainWindowOptions {
    std::function<std::time_t()> clock;  // the moment undated rows sort as; the real clock when empty
    std::ostream* trace = nullptr;       // the catalogue's trace lines; standard output when null
};

// The main frame with the banner list in it, not yet shown: app.mainFrame points at it, and the
// list loads the catalogue at app.paths.dataFilePath when the window is first shown. boxes
// answers every message box of the list's commands and must outlive the window.
std::unique_ptr<CMainFrame> CreateMainWindow(CMarquetaApp& app, platform::MessageBoxes& boxes,
                                             const MainWindowOptions& options = {});
