#pragma once
// Marqueta's window on an installation in a temporary folder, for tests of the window and of the
// list's commands: WINDIR, the web folders and a catalogue, the application object, scripted
// message boxes and the shown main frame.
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "marqueta/app/CMainFrame.h"
#include "marqueta/app/CMarquetaApp.h"
#include "marqueta/catalogue/BannerRecord.h"
#include "marqueta/ui/CRowListView.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

class QDialog;

class MarquetaWindow {
public:
    explicit MarquetaWindow(const std::vector<Cells>& catalogue = {});
    ~MarquetaWindow();

    CRowListView& view() { return *frame->findChild<CRowListView*>(QStringLiteral("rowListView")); }
    std::string catalogueText() const;  // the catalogue file as on disk
    std::string imageFile(const std::string& name) const { return dir.file("web/banners/images/" + name); }
    std::string bannerFile(const std::string& name) const { return dir.file("web/banners/" + name); }

    TempDir dir;
    ScopedEnv windir;
    ScriptedMessageBoxes boxes;
    std::ostringstream trace;
    CMarquetaApp app{boxes, &trace};
    std::unique_ptr<CMainFrame> frame;
};

// The catalogue file's bytes for these rows.
std::string CatalogueBytes(const std::vector<Cells>& rows);

// Runs work on the next modal dialog as soon as it is shown (the caller then opens it).
void WorkModalDialog(std::function<void(QDialog&)> work);
