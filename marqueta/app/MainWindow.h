#pragma once
// Building Marqueta's window from a started application, for the program and for tests.
#include <ctime>
#include <functional>
#include <memory>

#include "marqueta/app/CMainFrame.h"
#include "marqueta/app/CMarquetaApp.h"

struct MainWindowOptions {
    std::function<std::time_t()> clock;  // the moment undated rows sort as; the real clock when empty
};

// The main frame with the banner list in it, not yet shown: app.mainFrame points at it, and the
// list loads app.catalogue when the window is first shown.
std::unique_ptr<CMainFrame> CreateMainWindow(CMarquetaApp& app, const MainWindowOptions& options = {});
