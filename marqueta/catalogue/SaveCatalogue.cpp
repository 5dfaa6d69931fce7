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
    WriteVeltaSetting("BANNER", "LASTBROWSEDIR", context.paths.lastBrowseDir);
    ShowSavingProgress(context);
    platform::CreateDirectory(platform::DirectoryOf(context.paths.dataFilePath));

    // Written whole beside the old file and renamed over it, so a full disk keeps the old one.
    if (platform::WriteFileAtomically(context.paths.dataFilePath, CatalogueText(context.rows)) != 0) {
        context.boxes.ok("Unable to save file " + context.paths.dataFilePath);
        return false;
    }
    ShowStatus(context, "Done");
    return true;
}
