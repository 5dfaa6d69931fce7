#pragma once
// The catalogue file: one record per line, ten fields each followed by a comma.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "marqueta/catalogue/MarquetaPaths.h"
#include "marqueta/catalogue/RowTable.h"
#include "marqueta/catalogue/StatusPane.h"
#include "platform/FileOps.h"
#include "platform/MessageBox.h"
#include "platform/SafeWrite.h"

// CatalogueHash of no bytes: what a catalogue that was never read or does not exist holds.
inline constexpr std::uint64_t kEmptyCatalogueHash = 14695981039346656037ull;

// What the running program knows of the catalogue file its rows came from.
struct CatalogueFileState {
    // Not 0 when the file could not be read whole: the rows are then not the catalogue, and
    // nothing may be written over it.
    platform::ErrorCode readError = 0;
    // The file as it was last loaded or saved; a save over another version asks first.
    platform::FileStamp stamp;
    // CatalogueHash of the bytes last read or written: a rewrite that the stamp cannot tell apart
    // (the same size within a coarse time stamp) still shows here.
    std::uint64_t contentHash = kEmptyCatalogueHash;
    // True once a change that this window made to the rows could not be saved; leaving the
    // program then asks first.
    bool unsaved = false;
    // RowTable::changes() when the rows were last loaded or saved: tells a change this window
    // made from a list it never changed.
    std::uint64_t savedChanges = 0;
};

// The catalogue file as it is on disk now.
struct CatalogueOnDisk {
    platform::FileStamp stamp;
    std::uint64_t contentHash = kEmptyCatalogueHash;
    // Why the file cannot be read whole (a zero byte, too large, a folder, unreadable); 0 when it
    // can, and for a missing file.
    platform::ErrorCode readError = 0;
};

// The largest catalogue read: far beyond any real one, and small enough to be held in memory.
inline constexpr std::size_t kMaxCatalogueBytes = std::size_t{64} << 20;
// The read error of a catalogue that holds a zero byte: what comes before it is read, and the
// file counts as not read whole.
inline constexpr platform::ErrorCode kCatalogueHoldsZeroByte = -1;

// What the question about a catalogue changed on disk decided.
enum class MayWrite {
    Yes,       // write: nothing changed, or the user chose to overwrite
    Reloaded,  // the user chose to reload: the rows are the file's now, and the command goes on with them
    No,        // write nothing: the file was not read whole, or the user cancelled
};

// What a save came to.
enum class SaveOutcome {
    Saved,     // the rows are in the file
    Reloaded,  // the user chose to reload: the rows are the file's now, and the change is not in them
    NotSaved,  // nothing written: refused, cancelled or failed (after its message)
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
// file reads as empty, with ENOENT), kFileTooLarge beyond kMaxCatalogueBytes, and
// kCatalogueHoldsZeroByte when the text was cut at one. With hash, CatalogueHash of the bytes read.
platform::ErrorCode ReadWholeFile(const std::string& path, std::string& text, std::uint64_t* hash = nullptr);

// A 64-bit FNV-1a hash: tells two versions of a catalogue apart without keeping a copy.
std::uint64_t CatalogueHash(std::string_view bytes);

// Local midnight of a month/day/year text, each part clamped (1..12, 1..31, 1970..2038); a day
// past its month runs on into the next. `now` when the text lacks two slashes.
std::time_t ParseDateText(const std::string& text, std::time_t now);
std::time_t ParseDateText(const std::string& text);  // now = the current time

// Fills rows from the catalogue file, writing one trace line per field to trace. A missing file
// gives no rows and 0; a file that cannot be read whole gives the reason and no rows, or with a
// zero byte the rows before it. With state, records the version read and the reason there.
platform::ErrorCode loadCatalogue(RowTable& rows, const std::string& dataFilePath, std::ostream& trace,
                                  CatalogueFileState* state = nullptr);

// Empties the rows and loads them again from the file; a file that cannot be read whole is
// reported. True when it was read whole.
bool reloadCatalogue(CatalogueContext& context);

// The stamp, the hash and the readability of the catalogue file now.
CatalogueOnDisk catalogueOnDisk(const std::string& path);

// The one rule for writing over the catalogue file: it may be replaced without a question only
// when it can be read whole (or is missing) and is the version the rows were last loaded from or
// saved to.
bool isVersionLastSeen(const CatalogueOnDisk& onDisk, const CatalogueFileState& file);

// Whether the rows may be written over the catalogue file. When they were not read whole, or the
// file cannot be read whole now, it says so once (No); when another program changed the file since
// it was loaded or saved it asks: Reload (reloads; Reloaded), Overwrite (Yes) or Cancel (No,
// nothing else happens).
MayWrite catalogueMayBeWritten(CatalogueContext& context);

// catalogueMayBeWritten before a command on the row at position row (-1: none) goes on. The row's
// position, in the reloaded list when the user chose to reload: the one row whose cells are all
// those the command was started on, and only when exactly one such row exists. None when the
// command must stop, after saying why (a row the reloaded list lacks, or holds more than once, is
// named). With editKept, that message says the editor keeps the input, and *editKept tells whether
// the row was not found again.
std::optional<int> rowMayBeWritten(CatalogueContext& context, int row, bool* editKept = nullptr);

// True when the program may end: at once unless a change could not be saved, else after the user
// agrees to lose it.
bool catalogueMayBeLeft(CatalogueContext& context);

// "Unable to open file %s" with the system's reason; a zero byte is named as such.
std::string UnableToOpenText(const std::string& path, platform::ErrorCode error);

// Writes every row in display order; "LASTBROWSEDIR" first, before any check. False (after a
// message) when the file cannot be written; the old catalogue then stays whole. Writes no
// catalogue unless catalogueMayBeWritten says Yes: after Reloaded the rows are the file already.
bool saveCatalogue(CatalogueContext& context);
// saveCatalogue, telling a reload apart from a save that did not happen.
SaveOutcome saveCatalogueWithOutcome(CatalogueContext& context);

// One catalogue line: the ten fields, each followed by ",", then "\n".
std::string catalogueLine(const Cells& cells);
