#include "dormix/scan/CsvFile.h"

#include "platform/SafeWrite.h"

namespace {

std::string CsvField(const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
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
