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
platform::ErrorCode WriteCatalogueFile(CatalogueContext& context, const std::string& text) {
    const std::string& path = context.paths.dataFilePath;
    platform::AtomicFile file(path);
    if (!file.isOpen()) return file.error() ? file.error() : EBADF;
    if (const CatalogueFileState* state = context.file) {
        file.expectTarget(state->stamp, [&path, state] { return isVersionLastSeen(catalogueOnDisk(path), *state); });
    }
    if (!file.write(text)) return file.error();
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

bool saveCatalogue(CatalogueContext& context) { return saveCatalogueWithOutcome(context) == SaveOutcome::Saved; }

SaveOutcome saveCatalogueWithOutcome(CatalogueContext& context) {
    // Written whatever happens next, even when the catalogue may not be written.
    WriteVeltaSetting("BANNER", "LASTBROWSEDIR", context.paths.lastBrowseDir);
    CatalogueFileState* file = context.file;
    // A change this window made and could not write makes leaving the program ask first; a list
    // it never changed since the last load or save has nothing to lose.
    const auto notSaved = [file, &context] {
        if (file) file->unsaved = file->unsaved || context.rows.changes() != file->savedChanges;
        return SaveOutcome::NotSaved;
    };
    switch (catalogueMayBeWritten(context)) {
    case MayWrite::Yes: break;
    case MayWrite::Reloaded: return SaveOutcome::Reloaded;  // the rows are the file's now: nothing to write
    case MayWrite::No: return file && file->readError ? SaveOutcome::NotSaved : notSaved();
    }
    ShowSavingProgress(context);
    const std::string& path = context.paths.dataFilePath;
    platform::CreateDirectory(platform::DirectoryOf(path));

    const std::string text = CatalogueText(context.rows);
    for (;;) {
        const platform::ErrorCode error = WriteCatalogueFile(context, text);
        if (error == 0) break;
        // Another program replaced the file at the last moment: ask again, as before the write.
        if (error == platform::kTargetChanged && file) {
            const MayWrite again = catalogueMayBeWritten(context);
            if (again == MayWrite::Yes) continue;
            return again == MayWrite::Reloaded ? SaveOutcome::Reloaded : notSaved();
        }
        context.boxes.ok("Unable to save file " + path);
        return notSaved();
    }
    if (file) {
        file->stamp = platform::StampOf(path);
        file->contentHash = CatalogueHash(text);
        file->unsaved = false;
        file->savedChanges = context.rows.changes();
    }
    ShowStatus(context, "Done");
    return SaveOutcome::Saved;
}
