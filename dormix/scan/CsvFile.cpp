#include "dormix/scan/CsvFile.h"

#include <string_view>

#include "dormix/scan/LineEscape.h"
#include "platform/SafeWrite.h"

namespace {

// A field a spreadsheet would take for a formula gets a leading apostrophe, which makes it text;
// then the one escaping of names, so no byte of a name can break the record.
std::string CsvField(const std::string& text) {
    const bool formula = !text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos;
    std::string field = formula ? "'" : "";
    field += EscapedForLine(text);
    if (field.find_first_of(",\"") == std::string::npos) return field;
    std::string quoted = "\"";
    for (const char c : field) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

}  // namespace

std::string CsvText(const std::vector<CsvRow>& rows) {
    std::string text;
    for (const CsvRow& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0) text += ',';
            text += CsvField(row[i]);
        }
        text += "\r\n";
    }
    return text;
}

platform::ErrorCode SaveCsvFile(const std::string& path, const std::vector<CsvRow>& rows) {
    return platform::WriteFileAtomically(path, CsvText(rows));
}
