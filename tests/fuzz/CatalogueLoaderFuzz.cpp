// loadCatalogue on any file: every field is free of commas, line breaks, zero bytes and leading
// white space, the trace names every word in order, the tags are distinct, and the rows written
// out as catalogue lines load again into the same rows.
#include <sstream>
#include <vector>

#include "marqueta/catalogue/CatalogueFile.h"
#include "platform/TextMode.h"
#include "tests/fuzz/FuzzSupport.h"

using fuzz::Require;

namespace {

std::vector<Cells> Load(const std::string& bytes, std::string& trace) {
    const std::string path = fuzz::ScratchFile("bannerfile.txt");
    fuzz::WriteFile(path, bytes);
    RowTable rows;
    std::ostringstream out;
    loadCatalogue(rows, path, out);
    trace = out.str();
    std::vector<Cells> cells;
    std::vector<int> tags;
    for (int i = 0; i < rows.count(); ++i) {
        cells.push_back(rows.row(i).cells);
        for (int tag : tags) Require(tag != rows.row(i).tag, "row tags are distinct");
        tags.push_back(rows.row(i).tag);
    }
    return cells;
}

void CheckField(const std::string& field) {
    Require(field.find_first_of(std::string(",\r\n\0", 4)) == std::string::npos,
            "a field holds no comma, line break or zero byte");
    Require(field.empty() || !fuzz::IsBlank(field.front()), "a field does not begin with white space");
}

// Every trace line is "Line r, field f, word w": rows counted from 0 without gaps, fields from 0
// within a row, and the word of each of the first ten fields is that column's text.
void CheckTrace(const std::string& trace, const std::vector<Cells>& rows) {
    std::istringstream lines(trace);
    std::string line;
    int row = -1, field = -1;
    while (std::getline(lines, line)) {
        int r = -1, f = -1, used = 0;
        Require(std::sscanf(line.c_str(), "Line %d, field %d, word %n", &r, &f, &used) == 2 && used > 0,
                "a trace line has its form");
        if (r != row) {
            Require(r == row + 1 && f == 0, "a new row starts at field 0, right after the previous row");
            row = r;
        } else {
            Require(f == field + 1, "fields follow one another");
        }
        field = f;
        Require(r < static_cast<int>(rows.size()), "the trace names only loaded rows");
        if (f < kColumnCount) Require(line.substr(static_cast<std::size_t>(used)) == rows[r][f], "the trace shows the word");
    }
    Require(row + 1 == static_cast<int>(rows.size()), "every loaded row is traced");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string trace;
    const std::vector<Cells> rows = Load(bytes, trace);
    for (const Cells& cells : rows)
        for (const std::string& field : cells) CheckField(field);
    // A word holding a zero byte would end the trace line early; there can be none.
    CheckTrace(trace, rows);

    std::string saved;
    for (const Cells& cells : rows) saved += catalogueLine(cells);
    std::string again;
    Require(Load(platform::ToCrLf(saved), again) == rows, "saved rows load again as the same rows");
    return 0;
}
