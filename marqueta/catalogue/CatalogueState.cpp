// What keeps the rows from being written over a catalogue they do not stand for: a file that was
// not read whole, or one that another program (another Marqueta window) changed meanwhile.
#include <iostream>

#include "marqueta/catalogue/CatalogueFile.h"

namespace {

std::string NotReadWholeText(const std::string& path) {
    return "Nothing was written: the catalogue file " + path +
           " was not read whole. Start Marqueta again once the file can be read.";
}

std::string ChangedOnDiskQuestion(const std::string& path) {
    return "The catalogue file " + path +
           " was changed by another program since Marqueta last read or saved it.\n\n"
           "Yes: reload it; the change made in this window is lost.\n"
           "No: overwrite it with this window's list; the other program's change is lost.";
}

}  // namespace

std::string UnableToOpenText(const std::string& path, platform::ErrorCode error) {
    return "Unable to open file " + path + ". Reason: " + platform::SystemErrorText(error);
}

bool reloadCatalogue(CatalogueContext& context) {
    context.rows.clear();
    std::ostream& trace = context.trace ? *context.trace : std::cout;
    const platform::ErrorCode error = loadCatalogue(context.rows, context.paths.dataFilePath, trace, context.file);
    if (error) context.boxes.ok(UnableToOpenText(context.paths.dataFilePath, error));
    return error == 0;
}

bool catalogueMayBeWritten(CatalogueContext& context) {
    CatalogueFileState* file = context.file;
    if (!file) return true;
    if (file->readError) {
        context.boxes.ok(NotReadWholeText(context.paths.dataFilePath));
        return false;
    }
    const platform::FileStamp onDisk = platform::StampOf(context.paths.dataFilePath);
    if (onDisk == file->stamp) return true;
    switch (context.boxes.show(ChangedOnDiskQuestion(context.paths.dataFilePath), {}, platform::Buttons::YesNo)) {
    case platform::Answer::Yes: reloadCatalogue(context); return false;
    case platform::Answer::No: file->stamp = onDisk; return true;
    default: return false;  // no answer: nothing is written
    }
}
