#pragma once
// One account in quarantine: its folder, moved whole into PATH/Quarantine/<day of the run>/, and
// beside it a small file with what a restore or a purge needs, the two key records removed from
// "USER.KEY" and "USERTIME.KEY" among them, byte for byte. The file's name tells how far the
// account's last step got, so that a run killed at any step is finished by the next one.
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "dormix/keyindex/KeyRecord.h"
#include "dormix/scan/DeleteTervoxUsers.h"

enum class EntryStage {
    Moving,     // the records are written; the folder and the key records may not have gone yet
    Kept,       // in quarantine: the folder moved, the key records removed, the move recorded
    Restoring,  // being put back: key records and folder may be partly back
    Purging,    // being purged: the folder may be partly removed, the mail-server user not yet
};

struct QuarantineEntry {
    std::string day;         // the day folder, "YYYY-MM-DD" of the run that quarantined the account
    std::string folderName;  // the account folder's own name
    std::string userName;    // empty for a folder that names no user: no key records, no mail-server user
    std::optional<std::time_t> lastLogon;
    std::time_t quarantinedOn = 0;
    bool deleteTervoxUser = false;  // the quarantining run was answered Yes: the purge deletes the user
    std::optional<keyindex::KeyRecordBytes> userRecord;  // as removed from "USER.KEY"
    std::optional<keyindex::KeyRecordBytes> timeRecord;  // as removed from "USERTIME.KEY"
    EntryStage stage = EntryStage::Moving;
    // The grace period the account was quarantined under; none in an entry written before it was
    // kept, which then takes the period set now.
    std::optional<int> graceDays;
    // The mail-server user as the database held it when the account was quarantined; none when
    // that could not be told or the run was not told to delete it.
    std::optional<TervoxRow> tervoxRow;
    std::string lastFailure;  // why its last purge failed; empty when none did
    // What the purge did with the mail-server user; not kept in the file.
    bool tervoxUserAbsent = false;  // the database held no such user
    std::string tervoxUserKept;     // why the user was kept although the run was told to delete it
};

// The name an entry is told by: its user's, or its folder's for a folder that names no user.
inline const std::string& EntryName(const QuarantineEntry& entry) {
    return entry.userName.empty() ? entry.folderName : entry.userName;
}

// PATH/Quarantine, and the folders and files within it.
std::string QuarantineFolder(const std::string& installPath);
std::string DayFolder(const std::string& installPath, const std::string& day);
// Where the entry's folder lies in quarantine.
std::string QuarantinedFolderPath(const std::string& installPath, const QuarantineEntry& entry);
// The entry's file at a stage.
std::string EntryFilePath(const std::string& installPath, const QuarantineEntry& entry, EntryStage stage);
// The account folders' own folder, PATH/user, where a restored folder goes back.
std::string AccountFolderPath(const std::string& installPath, const std::string& folderName);

// The day folder's name for the run at now (local date).
std::string DayOfRun(std::time_t now);
// The local midnight that begins day; none when day is not a date in the form DayOfRun writes.
std::optional<std::time_t> StartOfDay(const std::string& day);
// The local midnight on which an entry of day is purged: graceDays after it; none for a period
// that no setting gives (beyond kMaxSettingDays).
std::optional<std::time_t> PurgeDay(const std::string& day, int graceDays);
// The day the entry is purged on: under the period it was quarantined under, or graceDays when it
// did not keep one.
std::optional<std::time_t> EntryPurgeDay(const QuarantineEntry& entry, int graceDays);

// Writes the entry's file at its stage through the safe-write path; synced unless deferSync (the
// caller then syncs many at once with platform::SyncFileSystem).
bool WriteEntryFile(const std::string& installPath, const QuarantineEntry& entry, bool deferSync = false);
// Gives the entry's file the name of another stage; a rename, so the contents are kept as they are.
bool MoveEntryToStage(const std::string& installPath, QuarantineEntry& entry, EntryStage stage, bool sync = true);

// Every entry of the quarantine, day by day, from the files' names (day, folder name, stage)
// without reading them; files of other names are passed over.
std::vector<QuarantineEntry> ListEntryFiles(const std::string& installPath);
// Fills the rest of the entry from its file; false when the file is not exactly as written.
bool ReadEntryFile(const std::string& installPath, QuarantineEntry& entry);
