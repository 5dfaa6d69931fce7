#include "marqueta/publish/DeleteBanner.h"

#include "marqueta/publish/BannerId.h"
#include "marqueta/publish/PublishBanner.h"
#include "platform/DirectorySearch.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"

namespace {

// The question names the banner as well as its row: with a filter on, the row's number counts
// rows the list does not show.
std::string DeleteQuestion(const RowTable& rows, int row) {
    std::string question = "Are you sure you want to delete row " + std::to_string(row + 1) + "?";
    if (const std::string& name = rows.cell(row, Image); !name.empty()) question += "\n\nBanner: " + name;
    return question;
}

}  // namespace

std::vector<FailedRemoval> DeleteMatchingFiles(const std::string& pattern,
                                               const std::function<bool(const std::string&)>& keep) {
    std::vector<FailedRemoval> failed;
    for (const platform::FoundEntry& entry : platform::FindEntries(pattern)) {
        if (entry.isDirectory || (keep && keep(entry.name))) continue;
        const std::string path = platform::FoundPath(pattern, entry);
        if (const platform::ErrorCode error = platform::DeleteFile(path)) failed.push_back({path, error});
    }
    return failed;
}

void DeleteSelectedBanner(CatalogueContext& context, int firstSelectedRow) {
    if (firstSelectedRow < 0 || firstSelectedRow >= context.rows.count()) {
        context.boxes.ok("Please select a row item to delete");
        return;
    }
    const std::string uid = context.rows.cell(firstSelectedRow, Uid);
    const platform::Answer answer =
        context.boxes.show(DeleteQuestion(context.rows, firstSelectedRow), {}, platform::Buttons::YesNo);
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
    // An id with a wildcard, a separator or ".." would widen the patterns to other files: the row
    // goes and the files stay. A file that another row names (a copied line) stays too.
    if (!canNameBannerFiles(uid)) {
        context.boxes.ok("The banner's image and page were kept: its UID \"" + uid + "\" cannot name a file safely.");
        return;
    }
    const auto namedElsewhere = [&](const std::string& name) { return NamedByAnotherRow(name, -1, context.rows); };
    std::vector<FailedRemoval> failed =
        DeleteMatchingFiles(context.paths.bannersDir + platform::kSepText + uid + ".htm*", namedElsewhere);
    for (FailedRemoval& image :
         DeleteMatchingFiles(context.paths.imagesDir + platform::kSepText + uid + ".*", namedElsewhere))
        failed.push_back(std::move(image));
    if (failed.empty()) return;
    std::string text = "The banner was deleted from the list, but these of its files could not be removed:\n";
    for (const FailedRemoval& file : failed) text += "  " + file.path + " (" + platform::SystemErrorText(file.error) + ")\n";
    context.boxes.ok(text);
}
