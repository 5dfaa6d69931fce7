#pragma once
// The catalogue file: one record per line, ten fields each followed by a comma.
#include <ctime>
#include <ostream>
#include <string>

#include "marqueta/catalogue/MarquetaPaths.h"
#include "marqueta/catalogue/RowTable.h"
#include "marqueta/catalogue/StatusPane.h"
#include "platform/FileOps.h"
#include "platform/MessageBox.h"
#include "platform/SafeWrite.h"

// What the running program knows of the catalogue file its rows came from.
struct CatalogueFileState {
    // Not 0 when the file could not be read whole: the rows are then not the catalogue, and
    // nothing may be written over it.
    platform::ErrorCode readError = 0;
    // The file as it was last loaded or saved; a save over another version asks first.
    platform::FileStamp stamp;
};

// Everything a catalogue operation needs from the running program.
struct CatalogueContext {
    MarquetaPaths& paths;
    RowTable& rows;
    platform::MessageBoxes& boxes;
    StatusPane* status = nullptr;  // null before the main window exists
    // The window's knowledge of the file; null where no load came first (no checks are made).
    CatalogueFileState* file = nullptr;
    std::ostream* trace = nullptr;  // where a reload writes its trace lines; null: standard output
};

// The whole file, ending at its first zero byte; the reason when it cannot be read (a missing
// file reads as empty, with ENOENT).
platform::ErrorCode ReadWholeFile(const std::string& path, std::string& text);

// Local midnight of a month/day/year text, each part clamped (1..12, 1..31, 1970..2038); a day
// past its month runs on into the next. `now` when the text lacks two slashes.
std::time_t ParseDateText(const std::string& text, std::time_t now);
std::time_t ParseDateText(const std::string& text);  // now = the current time

// Fills rows from the catalogue file, writing one trace line per field to trace. A missing file
// gives no rows and 0; a file that cannot be read whole gives no rows and the reason. With state,
// records the version read and the reason there.
platform::ErrorCode loadCatalogue(RowTable& rows, const std::string& dataFilePath, std::ostream& trace,
                                  CatalogueFileState* state = nullptr);

// Empties the rows and loads them again from the file; a file that cannot be read whole is
// reported. True when it was read whole.
bool reloadCatalogue(CatalogueContext& context);

// True when the rows may be written over the catalogue file. When they were not read whole it
// says so; when another program changed the file since it was loaded or saved it asks whether to
// reload (then reloads; false) or to overwrite (true).
bool catalogueMayBeWritten(CatalogueContext& context);

// "Unable to open file %s" with the system's reason.
std::string UnableToOpenText(const std::string& path, platform::ErrorCode error);

// Writes every row in display order; "LASTBROWSEDIR" first. False (after a message) when the
// file cannot be written; the old catalogue then stays whole. Writes nothing when
// catalogueMayBeWritten says no.
bool saveCatalogue(CatalogueContext& context);

// One catalogue line: the ten fields, each followed by ",", then "\n".
std::string catalogueLine(const Cells& cells);
