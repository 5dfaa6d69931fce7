#include "marqueta/catalogue/CatalogueFile.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

#include "common/NextToken.h"
#include "platform/Random.h"

namespace {

// One line's fields, with the tag drawn as the loader draws it: once per field, the last
// draw kept.
struct LoadedLine {
    Cells cells;
    int tag = 0;
};

// The trace lines, gathered and written in large pieces: formatting each number through the
// stream cost more than the rest of a large load together.
class TraceLines {
public:
    explicit TraceLines(std::ostream& trace) : trace_(trace) {}

    void add(int row, int field, std::string_view word) {
        if (used_ + kLongestFrame + word.size() > sizeof piece_) write();
        put("Line ");
        number(row);
        put(", field ");
        number(field);
        put(", word ");
        if (word.size() > sizeof piece_ - kLongestFrame) {  // a word too long for a piece goes alone
            write();
            trace_.write(word.data(), static_cast<std::streamsize>(word.size()));
        } else {
            put(word);
        }
        put("\n");
    }
    void write() {
        trace_.write(piece_, static_cast<std::streamsize>(used_));
        used_ = 0;
    }

private:
    // "Line ", ", field ", ", word ", two numbers and the line end.
    static constexpr std::size_t kLongestFrame = 64;
    void put(std::string_view text) {
        std::memcpy(piece_ + used_, text.data(), text.size());
        used_ += text.size();
    }
    void number(int value) { used_ = static_cast<std::size_t>(std::to_chars(piece_ + used_, piece_ + sizeof piece_, value).ptr - piece_); }

    std::ostream& trace_;
    char piece_[64 * 1024];
    std::size_t used_ = 0;
};

LoadedLine ReadFields(std::string_view line, int row, TraceLines& trace) {
    LoadedLine loaded;
    std::string_view word;
    for (int field = 0; NextToken(word, line, ","); ++field) {
        trace.add(row, field, word);
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
    std::string_view token;
    int row = 0;
    // Room for the rows at once; never more than a short line's worth of text each could hold,
    // so a file of line ends reserves no more than real rows would take.
    const auto lineEnds = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    rows.reserve(rows.count() + static_cast<int>(std::min(lineEnds, text.size() / 32)));
    auto lines = std::make_unique<TraceLines>(trace);
    while (NextToken(token, rest, "\n\r")) {
        const std::string_view line = TrimSpaceView(token);
        if (line.empty()) continue;
        LoadedLine loaded = ReadFields(line, row, *lines);
        rows.insertRow(row, std::move(loaded.cells), rows.distinctTag(loaded.tag));
        ++row;
    }
    // The trace is read while the program runs, not only after it ends.
    lines->write();
    trace.flush();
    return error;
}
