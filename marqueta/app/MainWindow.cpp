#include "marqueta/app/MainWindow.h"

#include "marqueta/ui/CRowListView.h"

std::unique_ptr<CMainFrame> CreateMainWindow(CMarquetaApp& app, platform::MessageBoxes& boxes,
                                             const MainWindowOptions& options) {
    auto frame = std::make_unique<CMainFrame>(app);
    auto* view = new CRowListView(app.paths, boxes, frame.get(), options.clock, options.trace);
    frame->setView(view);
    return frame;
}
