#include "marqueta/app/MainWindow.h"

#include "marqueta/ui/CRowListView.h"

std::unique_ptr<CMainFrame> CreateMainWindow(CMarquetaApp& app, const MainWindowOptions& options) {
    auto frame = std::make_unique<CMainFrame>(app);
    frame->setView(new CRowListView(app.catalogue, options.clock));
    return frame;
}
