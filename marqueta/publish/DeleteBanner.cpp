#include "marqueta/publish/DeleteBanner.h"

#include "platform/DirectorySearch.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"

void DeleteMatchingFiles(const std::string& pattern) {
    for (const platform::FoundEntry& entry : platform::FindEntries(pattern))
        if (!entry.isDirectory) platform::DeleteFile(platform::FoundPath(pattern, entry));
}

bool isSafeBannerId(const std::string& uid) {
    return !uid.empty() && uid.find_first_of("*?/\\") == std::string::npos && uid.find("..") == std::string::npos;
}

void DeleteSelectedBanner(CatalogueContext& context, int firstSelectedRow) {
    if (firstSelectedRow < 0 || firstSelectedRow >= context.rows.count()) {
        context.boxes.ok("Please select a row item to delete");
        return;
    }
    const int row = firstSelectedRow;
    const std::string uid = context.rows.cell(row, Uid);
    const platform::Answer answer = context.boxes.show(
        "Are you sure you want to delete row " + std::to_string(row + 1) + "?", {}, platform::Buttons::YesNo);
    if (answer == platform::Answer::Yes) {
        // Another program may have saved while the question stood: ask before any file goes.
        if (!catalogueMayBeWritten(context)) return;
        // A hand-edited id could widen the patterns to other banners' files: the row goes, the
        // files stay.
        if (isSafeBannerId(uid)) {
            DeleteMatchingFiles(context.paths.bannersDir + platform::kSepText + uid + ".htm*");
            DeleteMatchingFiles(context.paths.imagesDir + platform::kSepText + uid + ".*");
        }
        context.rows.removeRow(row);
    }
    saveCatalogue(context);
}
