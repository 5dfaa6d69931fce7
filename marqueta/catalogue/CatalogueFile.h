#pragma once
// The catalogue file: one record per line, ten fields each followed by a comma.
#include <ctime>
#include <ostream>
#include <string>

#include "marqueta/catalogue/MarquetaPaths.h"
#include "marqueta/catalogue/RowTable.h"
#include "marqueta/catalogue/StatusPane.h"
#include "platform/MessageBox.h"

// Everything a catalogue operation needs from the running program.
struct CatalogueContext {
    MarquetaPaths& paths;
    RowTable& rows;
    platform::MessageBoxes& boxes;
    StatusPane* status = nullptr;  // null before the main window exists
};

// The whole file, ending at its first zero byte; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Local midnight of a month/day/year text, each part clamped (1..12, 1..31, 1970..2038); a day
// past its month runs on into the next. `now` when the text lacks two slashes.
std::time_t ParseDateText(const std::string& text, std::time_t now);
std::time_t ParseDateText(const std::string& text);  // now = the current time

// Fills rows from the catalogue file, writing one trace line per field to trace.
void loadCatalogue(RowTable& rows, const std::string& dataFilePath, std::ostream& trace);

// Writes every row in display order; "LASTBROWSEDIR" first. False (after a message) when the
// file cannot be written; the old catalogue then stays whole.
bool saveCatalogue(CatalogueContext& context);

// One catalogue line: the ten fields, each followed by ",", then "\n".
std::string catalogueLine(const Cells& cells);
