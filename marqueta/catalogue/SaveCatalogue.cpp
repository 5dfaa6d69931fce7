#include <cerrno>

#include "common/VeltaSettings.h"
#include "marqueta/catalogue/CatalogueFile.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"
#include "platform/SafeWrite.h"
#include "platform/TextMode.h"

namespace {

void ShowStatus(CatalogueContext& context, const std::string& text) {
    if (context.status) context.status->showMessage(text);
}

// "Saving" gains one dot per step, four steps, each shown at once.
void ShowSavingProgress(CatalogueContext& context) {
    std::string progress = "Saving";
    for (int step = 0; step < 4; ++step) {
        progress += '.';
        ShowStatus(context, progress);
    }
}

std::string CatalogueText(const RowTable& rows) {
    std::string text;
    for (int position = 0; position < rows.count(); ++position) text += catalogueLine(rows.row(position).cells);
    return platform::ToCrLf(text);
}

// Written whole beside the old file and renamed over it, so a full disk keeps the old one; it
// replaces only the version the rows stand on.
platform::ErrorCode WriteCatalogueFile(CatalogueContext& context) {
    platform::AtomicFile file(context.paths.dataFilePath);
    if (!file.isOpen()) return file.error() ? file.error() : EBADF;
    if (context.file) file.expectTarget(context.file->stamp);
    if (!file.write(CatalogueText(context.rows))) return file.error();
    return file.commit();
}

}  // namespace

std::string catalogueLine(const Cells& cells) {
    std::string line;
    for (const std::string& field : cells) {
        line += field;
        line += ',';
    }
    line += '\n';
    return line;
}

bool saveCatalogue(CatalogueContext& context) {
    if (!catalogueMayBeWritten(context)) return false;
    WriteVeltaSetting("BANNER", "LASTBROWSEDIR", context.paths.lastBrowseDir);
    ShowSavingProgress(context);
    const std::string& path = context.paths.dataFilePath;
    platform::CreateDirectory(platform::DirectoryOf(path));

    for (;;) {
        const platform::ErrorCode error = WriteCatalogueFile(context);
        if (error == 0) break;
        // Another program replaced the file at the last moment: ask again, as before the write.
        if (error == platform::kTargetChanged && context.file && catalogueMayBeWritten(context)) continue;
        if (error != platform::kTargetChanged) context.boxes.ok("Unable to save file " + path);
        return false;
    }
    if (context.file) context.file->stamp = platform::StampOf(path);
    ShowStatus(context, "Done");
    return true;
}
