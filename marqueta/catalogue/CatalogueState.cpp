// What keeps the rows from being written over a catalogue they do not stand for: a file that was
// not read whole, or one that another program (another Marqueta window) changed meanwhile.
#include <iostream>

#include "marqueta/catalogue/CatalogueFile.h"

namespace {

std::string NotReadWholeText(const std::string& path) {
    return "Nothing was written: the catalogue file " + path +
           " was not read whole. Start Marqueta again once the file can be read.";
}

std::string ZeroByteText(const std::string& path) {
    return "The catalogue file " + path +
           " holds a zero byte. The list shows only the banners before it, and nothing will be written over "
           "the file.";
}

std::string ChangedOnDiskQuestion(const std::string& path) {
    return "The catalogue file " + path +
           " was changed by another program since Marqueta last read or saved it.\n\n"
           "Reload: read it again and go on with its list; the changes of this window not yet saved are lost.\n"
           "Overwrite: write this window's list over it; the other program's change is lost.\n"
           "Cancel: change nothing.";
}

std::string UnsavedAtExitQuestion(const std::string& path) {
    return "The banner list holds changes that could not be saved to the catalogue file " + path +
           ".\n\nQuit anyway and lose them?";
}

// Why the file cannot be written over: it cannot be read whole now, and what it holds beyond what
// is read would be lost.
std::string CannotWriteOverText(const std::string& path, platform::ErrorCode error) {
    const std::string reason =
        error == kCatalogueHoldsZeroByte ? "it holds a zero byte" : platform::SystemErrorText(error);
    return "Nothing was written: the catalogue file " + path + " cannot be read whole now (" + reason +
           "), and Marqueta writes over no file that it cannot read whole.";
}

// After a reload: the position of the one row with exactly these cells; -1 when none has them,
// and with how many have them when more than one.
int FindRowAgain(const RowTable& rows, const Cells& cells, int& withCells) {
    int found = -1;
    withCells = 0;
    for (int position = 0; position < rows.count(); ++position) {
        if (rows.row(position).cells != cells) continue;
        found = position;
        ++withCells;
    }
    return withCells == 1 ? found : -1;
}

std::string RowNotFoundText(const Cells& cells, int withCells, bool editKept) {
    const std::string banner = "The banner " + cells[Image] + " (id " + cells[Uid] + ")";
    std::string text = withCells > 1 ? banner + " stands " + std::to_string(withCells) +
                                           " times in the reloaded catalogue file, so Marqueta cannot tell "
                                           "which one was meant. Nothing was changed."
                                     : banner + " is no longer in the reloaded catalogue file as it was. "
                                                "Nothing was changed.";
    if (editKept) text += " The editor keeps your input: Submit adds it as a new banner, Cancel drops it.";
    return text;
}

}  // namespace

std::string UnableToOpenText(const std::string& path, platform::ErrorCode error) {
    if (error == kCatalogueHoldsZeroByte) return ZeroByteText(path);
    return "Unable to open file " + path + ". Reason: " + platform::SystemErrorText(error);
}

CatalogueOnDisk catalogueOnDisk(const std::string& path) {
    CatalogueOnDisk onDisk;
    onDisk.stamp = platform::StampOf(path);
    std::string bytes;
    onDisk.readError = ReadWholeFile(path, bytes, &onDisk.contentHash);
    if (platform::IsMissingFileError(onDisk.readError)) onDisk.readError = 0;
    return onDisk;
}

bool isVersionLastSeen(const CatalogueOnDisk& onDisk, const CatalogueFileState& file) {
    return onDisk.readError == 0 && onDisk.stamp == file.stamp && onDisk.contentHash == file.contentHash;
}

bool reloadCatalogue(CatalogueContext& context) {
    context.rows.clear();
    std::ostream& trace = context.trace ? *context.trace : std::cout;
    const platform::ErrorCode error = loadCatalogue(context.rows, context.paths.dataFilePath, trace, context.file);
    if (context.file) {
        context.file->unsaved = false;
        context.file->savedChanges = context.rows.changes();
    }
    if (error) context.boxes.ok(UnableToOpenText(context.paths.dataFilePath, error));
    return error == 0;
}

MayWrite catalogueMayBeWritten(CatalogueContext& context) {
    CatalogueFileState* file = context.file;
    if (!file) return MayWrite::Yes;
    if (file->readError) {
        context.boxes.ok(NotReadWholeText(context.paths.dataFilePath));
        return MayWrite::No;
    }
    // One rule for the question and for the save's last check before the rename: a file that
    // cannot be read whole is named once and never written over, whatever the answer would be.
    const CatalogueOnDisk onDisk = catalogueOnDisk(context.paths.dataFilePath);
    if (onDisk.readError) {
        context.boxes.ok(CannotWriteOverText(context.paths.dataFilePath, onDisk.readError));
        return MayWrite::No;
    }
    if (isVersionLastSeen(onDisk, *file)) return MayWrite::Yes;
    switch (context.boxes.show(ChangedOnDiskQuestion(context.paths.dataFilePath), {},
                               platform::Buttons::ReloadOverwriteCancel)) {
    case platform::Answer::Reload: return reloadCatalogue(context) ? MayWrite::Reloaded : MayWrite::No;
    case platform::Answer::Overwrite:
        // The version on disk when the user answered is the one the next write may replace.
        file->stamp = onDisk.stamp;
        file->contentHash = onDisk.contentHash;
        return MayWrite::Yes;
    default: return MayWrite::No;  // Cancel, or no answer: nothing is written
    }
}

std::optional<int> rowMayBeWritten(CatalogueContext& context, int row, bool* editKept) {
    if (editKept) *editKept = false;
    const Cells asBefore = row >= 0 && row < context.rows.count() ? context.rows.row(row).cells : Cells{};
    switch (catalogueMayBeWritten(context)) {
    case MayWrite::No: return std::nullopt;
    case MayWrite::Yes: return row;
    case MayWrite::Reloaded: break;
    }
    if (row < 0) return row;
    // Never a guess by id: a copied line or an id differing in case would make it another banner.
    int withCells = 0;
    if (const int found = FindRowAgain(context.rows, asBefore, withCells); found >= 0) return found;
    context.boxes.ok(RowNotFoundText(asBefore, withCells, editKept != nullptr));
    if (editKept) *editKept = true;
    return std::nullopt;
}

bool catalogueMayBeLeft(CatalogueContext& context) {
    if (!context.file || !context.file->unsaved) return true;
    return context.boxes.show(UnsavedAtExitQuestion(context.paths.dataFilePath), {}, platform::Buttons::YesNo) ==
           platform::Answer::Yes;
}
