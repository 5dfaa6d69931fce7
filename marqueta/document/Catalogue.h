#pragma once
// The program's catalogue: the rows in display order, what is known of the file they came from,
// and the paths Marqueta works with. Made once by the program and shown by the list; every
// command of the list goes through it. GUI-free.
#include <iosfwd>
#include <optional>
#include <string>

#include "marqueta/catalogue/BannerRecord.h"
#include "marqueta/catalogue/CatalogueFile.h"
#include "marqueta/catalogue/MarquetaPaths.h"
#include "marqueta/catalogue/RowTable.h"
#include "marqueta/catalogue/StatusPane.h"
#include "platform/MessageBox.h"

class Catalogue {
public:
    // boxes answers every question and shows every message; trace receives the load's trace
    // lines (standard output when null). Both must outlive the catalogue.
    explicit Catalogue(platform::MessageBoxes& boxes, std::ostream* trace = nullptr);
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    MarquetaPaths& paths() { return paths_; }
    const MarquetaPaths& paths() const { return paths_; }
    RowTable& rows() { return rows_; }
    const RowTable& rows() const { return rows_; }
    const CatalogueFileState& fileState() const { return file_; }
    platform::MessageBoxes& boxes() { return context_.boxes; }
    // Where the save shows its progress: the main window's message pane; null for none.
    void setStatusPane(StatusPane* status) { context_.status = status; }

    // Empties the rows and reads them from the catalogue file; a file that cannot be read whole
    // is reported. True when it was read whole.
    bool load();
    // Writes the rows over the catalogue file, asking first when another program changed it.
    bool save();
    // Before a command on the row at position row (-1: none): the row's position (in the
    // reloaded list when the user chose to reload: the one row identical to it), or none when the
    // command must stop. With editKept: see rowMayBeWritten.
    std::optional<int> mayBeWritten(int row, bool* editKept = nullptr);
    // True when the program may end: at once unless a change could not be saved, else after
    // the user agrees to lose it.
    bool mayBeLeft();

    // Publishes the banner as the editor submitted it into the row at position row (-1: a new
    // row at the end): new id, image and page when the image or the link changed, then the row
    // and the save. loadedUrl is the row's link when the editor was filled (empty for a new
    // banner); chosenImage the file chosen with Browse (empty for none). False after a reported
    // failure, and when a reload at the save dropped the edit.
    bool publish(int row, const BannerRecord& submitted, const std::string& loadedUrl,
                 const std::string& chosenImage);
    // The Delete command on the first selected row (-1: none): asks, removes the row, saves, and
    // then removes the banner's files.
    void deleteBanner(int firstSelectedRow);

private:
    MarquetaPaths paths_;
    RowTable rows_;
    CatalogueFileState file_;
    // What the catalogue and publication functions work on: bound once to the members above.
    CatalogueContext context_;
};
