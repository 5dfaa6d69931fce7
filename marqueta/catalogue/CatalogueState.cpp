// What keeps the rows from being written over a catalogue they do not stand for: a file that was
// not read whole, or one that another program (another Marqueta window) changed meanwhile.
#include <iostream>

#include "marqueta/catalogue/CatalogueFile.h"
#include "platform/CaseFold.h"

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

// True when the file still holds the version the rows were last read from or written to.
bool UnchangedOnDisk(const std::string& path, const CatalogueFileState& file) {
    if (platform::StampOf(path) != file.stamp) return false;
    std::string bytes;
    std::uint64_t hash = 0;
    const platform::ErrorCode error = ReadWholeFile(path, bytes, &hash);
    if (error && error != kCatalogueHoldsZeroByte && !platform::IsMissingFileError(error)) return false;
    return hash == file.contentHash;
}

// After a reload: the row with these cells, else the one row carrying their id; -1 when none.
int FindRowAgain(const RowTable& rows, const Cells& cells) {
    int sameId = -1;
    int withId = 0;
    for (int position = 0; position < rows.count(); ++position) {
        if (rows.row(position).cells == cells) return position;
        if (!cells[Uid].empty() && platform::EqualsIgnoringCase(rows.cell(position, Uid), cells[Uid])) {
            sameId = position;
            ++withId;
        }
    }
    return withId == 1 ? sameId : -1;
}

}  // namespace

std::string UnableToOpenText(const std::string& path, platform::ErrorCode error) {
    if (error == kCatalogueHoldsZeroByte) return ZeroByteText(path);
    return "Unable to open file " + path + ". Reason: " + platform::SystemErrorText(error);
}

bool reloadCatalogue(CatalogueContext& context) {
    context.rows.clear();
    std::ostream& trace = context.trace ? *context.trace : std::cout;
    const platform::ErrorCode error = loadCatalogue(context.rows, context.paths.dataFilePath, trace, context.file);
    if (context.file) context.file->unsaved = false;
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
    if (UnchangedOnDisk(context.paths.dataFilePath, *file)) return MayWrite::Yes;
    switch (context.boxes.show(ChangedOnDiskQuestion(context.paths.dataFilePath), {},
                               platform::Buttons::ReloadOverwriteCancel)) {
    case platform::Answer::Reload: return reloadCatalogue(context) ? MayWrite::Reloaded : MayWrite::No;
    case platform::Answer::Overwrite: {
        // The version on disk now is the one the next write may replace.
        file->stamp = platform::StampOf(context.paths.dataFilePath);
        std::string onDisk;
        ReadWholeFile(context.paths.dataFilePath, onDisk, &file->contentHash);
        return MayWrite::Yes;
    }
    default: return MayWrite::No;  // Cancel, or no answer: nothing is written
    }
}

std::optional<int> rowMayBeWritten(CatalogueContext& context, int row) {
    const Cells asBefore = row >= 0 && row < context.rows.count() ? context.rows.row(row).cells : Cells{};
    switch (catalogueMayBeWritten(context)) {
    case MayWrite::No: return std::nullopt;
    case MayWrite::Yes: return row;
    case MayWrite::Reloaded: break;
    }
    if (row < 0) return row;
    if (const int found = FindRowAgain(context.rows, asBefore); found >= 0) return found;
    context.boxes.ok("The banner " + asBefore[Image] + " (id " + asBefore[Uid] +
                     ") is no longer in the reloaded catalogue file. Nothing was changed.");
    return std::nullopt;
}

bool catalogueMayBeLeft(CatalogueContext& context) {
    if (!context.file || !context.file->unsaved) return true;
    return context.boxes.show(UnsavedAtExitQuestion(context.paths.dataFilePath), {}, platform::Buttons::YesNo) ==
           platform::Answer::Yes;
}
