#pragma once
// A Marqueta installation in a temporary folder for tests of the catalogue core: VELTA.INI in its
// own Windows folder, the banners and images folders, the rows, scripted boxes and a status pane.
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "marqueta/catalogue/CatalogueFile.h"
#include "marqueta/catalogue/MarquetaPaths.h"
#include "marqueta/catalogue/RowTable.h"
#include "marqueta/catalogue/StatusPane.h"
#include "marqueta/document/Catalogue.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

class RecordingStatusPane : public StatusPane {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

class MarquetaInstallation {
public:
    // Lays out root/windows, root/web/banners and root/web/banners/images and points WINDIR at
    // root/windows; the paths are derived from root/web as start-up derives them.
    MarquetaInstallation();

    std::string webDir() const { return dir.file("web"); }
    std::string settingsFile() const { return dir.file("windows/VELTA.INI"); }
    // Plain paths (one separator) of files in the banners and images folders.
    std::string bannerFile(const std::string& name) const { return dir.file("web/banners/" + name); }
    std::string imageFile(const std::string& name) const { return dir.file("web/banners/images/" + name); }

    // Appends a row with these cells (as loaded from a catalogue) and returns its position.
    int addRow(const Cells& cells);
    // A banner as a catalogue and its files would hold it: the row, its image and its page.
    int addPublishedBanner(const Cells& cells, const std::string& imageBytes = "GIF89a");

    // The program's catalogue on these folders, its boxes and status pane, not yet loaded.
    std::unique_ptr<Catalogue> programCatalogue();

    // Gives the context a file state and this trace, as a window has them after its first load,
    // so that a save checks the file first; the state, for the test to set.
    CatalogueFileState& watchFile() {
        context.file = &fileState;
        context.trace = &trace;
        return fileState;
    }

    // Names of the files (not folders) in the banners folder and in the images folder, sorted.
    std::vector<std::string> bannerFileNames() const;
    std::vector<std::string> imageFileNames() const;

    TempDir dir;
    ScopedEnv windir;
    MarquetaPaths paths;
    RowTable rows;
    ScriptedMessageBoxes boxes;
    RecordingStatusPane status;
    std::ostringstream trace;  // a program catalogue's trace lines
    CatalogueFileState fileState;  // the context's after watchFile()
    CatalogueContext context;
};

// A record with the given id and extension and plausible other fields.
Cells SampleCells(const std::string& uid, const std::string& ext, const std::string& url = "http://example.com/");
