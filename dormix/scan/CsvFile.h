#pragma once
// Lists saved for a spreadsheet: comma-separated values as RFC 4180 has them (a field with a
// comma or a double quote goes in double quotes, its quotes doubled; every record ends in CR LF).
// The fields are written as given (UTF-8 by the callers), but escaped as every line that holds a
// name is (EscapedForLine), and one that begins with '=', '+', '-', '@', a tab or a carriage
// return, which a spreadsheet would run as a formula, with a leading apostrophe.
#include <string>
#include <vector>

#include "platform/FileOps.h"

using CsvRow = std::vector<std::string>;

std::string CsvText(const std::vector<CsvRow>& rows);

// Writes the rows as the whole file at path through the safe-write path; 0 or the error code.
platform::ErrorCode SaveCsvFile(const std::string& path, const std::vector<CsvRow>& rows);
