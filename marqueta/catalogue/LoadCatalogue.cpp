#include "common/NextToken.h"
#include "marqueta/catalogue/CatalogueFile.h"
#include "platform/Random.h"

namespace {

// One line's fields, with the tag drawn as the loader draws it: once per field, the last
// draw kept.
struct LoadedLine {
    Cells cells;
    int tag = 0;
};

LoadedLine ReadFields(std::string_view line, int row, std::ostream& trace) {
    LoadedLine loaded;
    std::string word;
    for (int field = 0; NextToken(word, line, ","); ++field) {
        trace << "Line " << row << ", field " << field << ", word " << word << "\n";
        if (field < kColumnCount) loaded.cells[field] = word;  // fields past the tenth are dropped
        loaded.tag = platform::NextRandom();
    }
    return loaded;
}

}  // namespace

platform::ErrorCode loadCatalogue(RowTable& rows, const std::string& dataFilePath, std::ostream& trace,
                                  CatalogueFileState* state) {
    // The version is taken before the bytes: a change in between then shows at the next save.
    if (state) state->stamp = platform::StampOf(dataFilePath);
    std::string text;
    platform::ErrorCode error = ReadWholeFile(dataFilePath, text, state ? &state->contentHash : nullptr);
    if (platform::IsMissingFileError(error)) error = 0;  // a missing catalogue is an empty one
    if (state) state->readError = error;
    std::string_view rest(text);
    std::string token;
    int row = 0;
    while (NextToken(token, rest, "\n\r")) {
        const std::string_view line = TrimSpaceView(token);
        if (line.empty()) continue;
        const LoadedLine loaded = ReadFields(line, row, trace);
        rows.insertRow(row, loaded.cells, rows.distinctTag(loaded.tag));
        ++row;
    }
    // The trace is read while the program runs, not only after it ends.
    trace.flush();
    return error;
}
