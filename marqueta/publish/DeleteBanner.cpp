#include "marqueta/publish/DeleteBanner.h"

#include "marqueta/publish/PublishBanner.h"
#include "platform/DirectorySearch.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"

void DeleteMatchingFiles(const std::string& pattern, const std::function<bool(const std::string&)>& keep) {
    for (const platform::FoundEntry& entry : platform::FindEntries(pattern))
        if (!entry.isDirectory && !(keep && keep(entry.name)))
            platform::DeleteFile(platform::FoundPath(pattern, entry));
}

bool isSafeBannerId(const std::string& uid) {
    return !uid.empty() && uid.find_first_of("*?/\\") == std::string::npos && uid.find("..") == std::string::npos;
}

void DeleteSelectedBanner(CatalogueContext& context, int firstSelectedRow) {
    if (firstSelectedRow < 0 || firstSelectedRow >= context.rows.count()) {
        context.boxes.ok("Please select a row item to delete");
        return;
    }
    const std::string uid = context.rows.cell(firstSelectedRow, Uid);
    const platform::Answer answer = context.boxes.show(
        "Are you sure you want to delete row " + std::to_string(firstSelectedRow + 1) + "?", {},
        platform::Buttons::YesNo);
    if (answer != platform::Answer::Yes) {
        saveCatalogue(context);
        return;
    }
    // Another program may have saved while the question stood: ask before anything changes.
    const std::optional<int> row = rowMayBeWritten(context, firstSelectedRow);
    if (!row) return;
    // The row goes and the catalogue is saved before any file goes, so that a kill or a failed
    // save never leaves a row naming deleted files.
    context.rows.removeRow(*row);
    if (!saveCatalogue(context)) return;
    // A hand-edited id could widen the patterns to other banners' files: the row goes, the files
    // stay. A file that another row names (a copied line) stays too.
    if (!isSafeBannerId(uid)) return;
    const auto namedElsewhere = [&](const std::string& name) { return NamedByAnotherRow(name, -1, context.rows); };
    DeleteMatchingFiles(context.paths.bannersDir + platform::kSepText + uid + ".htm*", namedElsewhere);
    DeleteMatchingFiles(context.paths.imagesDir + platform::kSepText + uid + ".*", namedElsewhere);
}
