#include "dormix/quarantine/Quarantine.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "dormix/keyindex/FindUserKeyRecords.h"
#include "dormix/keyindex/InsertKeyRecord.h"
#include "dormix/keyindex/KeyFile.h"
#include "dormix/keyindex/KeyLookup.h"
#include "dormix/keyindex/RemoveUserKeys.h"
#include "dormix/keyindex/RemoveUserKeysBatch.h"
#include "platform/CaseFold.h"
#include "platform/Clock.h"
#include "platform/FileOps.h"
#include "platform/FolderRemoval.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"
#include "platform/SafeWrite.h"
#include "platform/SystemIo.h"
#include "platform/Volume.h"

namespace {

using keyindex::KeyRecordBytes;

std::string UserKeyPath(const std::string& installPath) { return keyindex::KeyFilePath(installPath, "USER.KEY"); }
std::string TimeKeyPath(const std::string& installPath) { return keyindex::KeyFilePath(installPath, "USERTIME.KEY"); }
std::string UserFolder(const std::string& installPath) { return platform::DirectoryOf(AccountFolderPath(installPath, "x")); }

std::string FolderNameOf(const std::string& folderPath) {
    const std::size_t cut = folderPath.rfind(platform::kSep);
    return cut == std::string::npos ? folderPath : folderPath.substr(cut + 1);
}

// What a key file holds under a record's key: that very record, another one, or none.
enum class Holding { None, Same, Other, Unreadable };

Holding HoldingOf(const std::string& path, const KeyRecordBytes& record) {
    keyindex::KeyFile file;
    if (!file.open(path)) return platform::StampOf(path).exists ? Holding::Unreadable : Holding::None;
    const keyindex::BlockSearch search = keyindex::SearchKey(file, keyindex::KeyOfRecord(record).data());
    if (search.outcome == keyindex::BlockSearch::Outcome::ReadFailed) return Holding::Unreadable;
    if (search.outcome != keyindex::BlockSearch::Outcome::Found) return Holding::None;
    return search.hit.record == record ? Holding::Same : Holding::Other;
}

// The entry's two records with their files, "USER.KEY" first: the order in which they are removed.
struct OwnRecord {
    const std::optional<KeyRecordBytes>* record;
    std::string path;
};
std::vector<OwnRecord> OwnRecords(const std::string& installPath, const QuarantineEntry& entry) {
    return {{&entry.userRecord, UserKeyPath(installPath)}, {&entry.timeRecord, TimeKeyPath(installPath)}};
}

// Removes the entry's records where the files still hold them byte for byte (a record that the
// web-mail product wrote anew under the same key is not the entry's). False when one stays.
bool RemoveOwnRecords(const std::string& installPath, const QuarantineEntry& entry) {
    for (const OwnRecord& own : OwnRecords(installPath, entry)) {
        if (!*own.record) continue;
        const Holding holding = HoldingOf(own.path, **own.record);
        if (holding == Holding::Unreadable) return false;
        if (holding != Holding::Same) continue;
        const auto removal = keyindex::RemoveKeyFromFile(own.path, keyindex::KeyOfRecord(**own.record).data());
        if (!removal.found || removal.result != keyindex::RemovalResult::Removed) return false;
    }
    return true;
}

// Deletes the entry's file; tidyDay: and its day folder, once that is empty.
void ForgetEntry(const std::string& installPath, const QuarantineEntry& entry, bool tidyDay = true) {
    platform::DeleteFile(EntryFilePath(installPath, entry, entry.stage));
    if (tidyDay) platform::RemoveDirectory(DayFolder(installPath, entry.day));
}

// A quarantine that got as far as its entry file: finished when the folder was moved, else undone.
bool FinishMoving(const std::string& installPath, QuarantineEntry& entry, const QuarantineEvents& events) {
    if (!platform::IsDirectory(QuarantinedFolderPath(installPath, entry))) {
        ForgetEntry(installPath, entry);  // the folder never moved: the account is as it was
        return true;
    }
    if (!RemoveOwnRecords(installPath, entry)) return true;  // tried again by the next run
    if (!events.record({entry}, QuarantineEvent::Quarantined)) return false;
    MoveEntryToStage(installPath, entry, EntryStage::Kept);
    return true;
}

// Gives the account's "user.ini" the day of the restore as its last logon. Only an ordinary file is
// written: a link in a folder that anyone may have changed is never followed.
void MarkRestoredToday(const std::string& folder, std::time_t now) {
    for (const platform::FoundEntry& file : platform::sys::ListFolder(folder)) {
        if (file.isDirectory || file.isSymlink || !platform::EqualsIgnoringCase(file.name, "user.ini")) continue;
        platform::WriteProfileString(folder + platform::kSepText + file.name, "PROGRAM", "LASTLOGON",
                                     platform::LocalTimeText(now, "%Y/%m/%d"));
        return;
    }
}

RestoreResult Refuse(const std::string& installPath, QuarantineEntry& entry, std::string reason) {
    MoveEntryToStage(installPath, entry, EntryStage::Kept);
    return {false, std::move(reason), false};
}

// Puts the entry back: its records first ("USERTIME.KEY" before "USER.KEY"), then its folder.
// Any conflict is found before anything changes; a failure on the way takes back what was put.
RestoreResult FinishRestore(const std::string& installPath, QuarantineEntry& entry, const QuarantineEvents& events,
                            std::time_t now) {
    const std::string from = QuarantinedFolderPath(installPath, entry);
    const std::string to = AccountFolderPath(installPath, entry.folderName);
    const std::string name = entry.userName.empty() ? entry.folderName : entry.userName;
    const bool folderInQuarantine = platform::IsDirectory(from);
    if (folderInQuarantine && platform::PathExists(to))
        return Refuse(installPath, entry, name + " cannot be restored: the folder " + to + " exists again.");
    if (!folderInQuarantine && !platform::IsDirectory(to))
        return Refuse(installPath, entry, name + " cannot be restored: its folder " + from + " is missing.");
    std::vector<OwnRecord> own = OwnRecords(installPath, entry);
    std::reverse(own.begin(), own.end());
    std::vector<Holding> holdings;
    for (const OwnRecord& r : own) {
        holdings.push_back(*r.record ? HoldingOf(r.path, **r.record) : Holding::Same);
        if (holdings.back() == Holding::Other)
            return Refuse(installPath, entry, name + " cannot be restored: " + platform::FileNameOf(r.path) +
                                                  " holds a record of that name again.");
        if (holdings.back() == Holding::Unreadable)
            return Refuse(installPath, entry, name + " cannot be restored: " + r.path + " cannot be read.");
    }
    for (std::size_t i = 0; i < own.size(); ++i) {
        if (holdings[i] != Holding::None || keyindex::InsertKeyRecord(own[i].path, **own[i].record) == keyindex::InsertionResult::Inserted)
            continue;
        RemoveOwnRecords(installPath, entry);
        return Refuse(installPath, entry, name + " cannot be restored: " + own[i].path + " could not be written.");
    }
    if (folderInQuarantine) {
        MarkRestoredToday(from, now);
        if (const platform::ErrorCode e = platform::MoveFile(from, to)) {
            RemoveOwnRecords(installPath, entry);
            return Refuse(installPath, entry, name + " cannot be restored: " + platform::SystemErrorText(e));
        }
        platform::sys::SyncFolder(UserFolder(installPath));
    }
    if (!events.record({entry}, QuarantineEvent::Restored)) return {true, {}, true};
    ForgetEntry(installPath, entry);
    return {true, {}, false};
}

// A safe write's temporary name: ".tmp" and six letters or digits (Windows: ".tm", digits, ".TMP").
// Never an entry's name, which ends in its stage.
// Keeps, in their order, the entries for whose index keep is true, without a second list: with a
// hundred thousand accounts in quarantine every copy of the list counts. keep may fill in the
// entry it is asked about.
template <typename Keep>
void KeepInPlace(std::vector<QuarantineEntry>& entries, const Keep& keep) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!keep(i)) continue;
        if (kept != i) entries[kept] = std::move(entries[i]);
        ++kept;
    }
    entries.resize(kept);
}

bool IsLeftoverTemporary(const std::string& name) {
    const bool posix = name.size() == 10 && name.starts_with(".tmp") &&
                       std::all_of(name.begin() + 4, name.end(), [](unsigned char c) { return std::isalnum(c) != 0; });
    const bool windows =
        name.size() > 7 && name.starts_with(".tm") && platform::EqualsIgnoringCase(name.substr(name.size() - 4), ".tmp");
    return posix || windows;
}

// Removes what a run killed in the middle of writing an entry left in the day folders (the
// temporary files of the safe write: the folders are Dormix's own, and the caller holds the
// installation), and the day folders left empty.
void TidyDayFolders(const std::string& installPath) {
    const std::string quarantine = platform::ResolveCase(QuarantineFolder(installPath));
    for (const auto& day : platform::sys::ListFolder(quarantine)) {
        if (!day.isDirectory || !StartOfDay(day.name)) continue;
        const std::string folder = quarantine + platform::kSepText + day.name;
        bool onlyLeftovers = true;
        for (const auto& file : platform::sys::ListFolder(folder)) {
            if (file.name == "." || file.name == "..") continue;
            if (file.isDirectory || !IsLeftoverTemporary(file.name)) onlyLeftovers = false;
            else platform::DeleteFileAsWritten(folder + platform::kSepText + file.name);
        }
        if (onlyLeftovers) platform::RemoveDirectory(folder);
    }
}

}  // namespace

std::string PrepareQuarantine(const std::string& installPath) {
    const std::string quarantine = QuarantineFolder(installPath);
    if (!platform::IsDirectory(quarantine)) {
        // Mail moved in stays as private as it was under the account folders.
        if (const platform::ErrorCode e = platform::CreateDirectoryLike(quarantine, UserFolder(installPath));
            e && !platform::IsDirectory(quarantine))
            return "The quarantine folder " + quarantine + " cannot be made: " + platform::SystemErrorText(e) +
                   " Nothing was deleted.";
    }
    const std::string users = UserFolder(installPath);
    if (platform::OnSameFileSystem(users, quarantine) != std::optional<bool>(true))
        return "The account folders in " + users + " cannot be moved into " + quarantine +
               " by a rename: both must be on the same file system. Nothing was deleted.";
    return {};
}

QuarantineRun QuarantineAccounts(const std::string& installPath, const std::vector<AccountToQuarantine>& accounts,
                                 std::time_t now, bool deleteTervoxUsers, const QuarantineEvents& events) {
    QuarantineRun run;
    run.accounts.resize(accounts.size());
    const std::string day = DayOfRun(now);
    const std::string dayFolder = DayFolder(installPath, day);
    if (const platform::ErrorCode e = platform::CreateDirectoryLike(dayFolder, UserFolder(installPath));
        e && !platform::IsDirectory(dayFolder)) {
        for (QuarantineOutcome& outcome : run.accounts) outcome.reason = dayFolder + ": " + platform::SystemErrorText(e);
        return run;
    }
    std::vector<std::string> names;
    for (const AccountToQuarantine& account : accounts)
        if (!account.userName.empty()) names.push_back(account.userName);
    const std::vector<keyindex::UserKeyRecords> records = keyindex::FindUserKeyRecords(installPath, names);

    // Each entry file is on disk before its folder moves, and both before a key record goes.
    std::vector<QuarantineEntry> moved;
    std::vector<std::size_t> movedAt;
    for (std::size_t i = 0, named = 0; i < accounts.size(); ++i) {
        const AccountToQuarantine& account = accounts[i];
        QuarantineEntry entry{day, FolderNameOf(account.folderPath), account.userName, account.lastLogon, now,
                              deleteTervoxUsers, std::nullopt, std::nullopt, EntryStage::Moving};
        if (!account.userName.empty()) {
            entry.userRecord = records[named].user;
            entry.timeRecord = records[named++].time;
        }
        const std::string target = QuarantinedFolderPath(installPath, entry);
        // The day folder is Dormix's own: a name there is spelt as Dormix spelt it.
        if (platform::PathExistsAsWritten(target) ||
            platform::PathExistsAsWritten(EntryFilePath(installPath, entry, EntryStage::Kept))) {
            run.accounts[i].reason = target + " is in quarantine already.";
            continue;
        }
        if (!WriteEntryFile(installPath, entry, true)) {
            run.accounts[i].reason = EntryFilePath(installPath, entry, EntryStage::Moving) + " cannot be written.";
            continue;
        }
        if (const platform::ErrorCode e = platform::MoveFileAsWritten(account.folderPath, target)) {
            ForgetEntry(installPath, entry, false);
            run.accounts[i].reason = platform::SystemErrorText(e);
            continue;
        }
        moved.push_back(std::move(entry));
        movedAt.push_back(i);
    }
    platform::SyncFileSystem(installPath);

    std::vector<std::string> movedNames;
    std::vector<std::size_t> namedAt;
    for (std::size_t k = 0; k < moved.size(); ++k) {
        if (moved[k].userName.empty()) continue;
        movedNames.push_back(moved[k].userName);
        namedAt.push_back(k);
    }
    const auto removals = keyindex::RemoveUserKeysBatch(installPath, movedNames);
    std::vector<bool> keep(moved.size(), true);
    for (std::size_t n = 0; n < namedAt.size(); ++n) {
        QuarantineEntry& entry = moved[namedAt[n]];
        const keyindex::UserKeysRemoval& removal = removals[n];
        if (entry.userRecord && !removal.userRecordRemoved() && removal.fileKeptChanging()) {
            // The user's record stays: so does the account, whole, as it was.
            if (platform::MoveFile(QuarantinedFolderPath(installPath, entry), platform::DirectoryOf(accounts[movedAt[namedAt[n]]].folderPath) + entry.folderName) == 0)
                ForgetEntry(installPath, entry, false);
            run.accounts[movedAt[namedAt[n]]].reason = UserKeyPath(installPath) + " kept changing.";
            keep[namedAt[n]] = false;
            continue;
        }
        // The entry keeps exactly what was removed, should the files have changed since they were read.
        const auto user = removal.userRecordRemoved() ? std::optional(removal.user.record) : std::nullopt;
        const auto time = removal.timeRecordRemoved() ? std::optional(removal.time.record) : std::nullopt;
        if (user != entry.userRecord || time != entry.timeRecord) {
            entry.userRecord = user;
            entry.timeRecord = time;
            WriteEntryFile(installPath, entry);
        }
    }
    std::vector<QuarantineEntry> kept;
    std::vector<std::size_t> keptAt;
    for (std::size_t k = 0; k < moved.size(); ++k) {
        if (!keep[k]) continue;
        kept.push_back(std::move(moved[k]));
        keptAt.push_back(movedAt[k]);
    }
    if (!kept.empty() && !events.record(kept, QuarantineEvent::Quarantined)) {
        run.stopped = true;
        return run;
    }
    for (std::size_t k = 0; k < kept.size(); ++k) {
        MoveEntryToStage(installPath, kept[k], EntryStage::Kept, false);
        run.accounts[keptAt[k]].quarantined = true;
    }
    return run;
}

bool SettleQuarantine(const std::string& installPath, const QuarantineEvents& events, std::time_t now) {
    TidyDayFolders(installPath);
    std::vector<QuarantineEntry> purging;
    for (QuarantineEntry& entry : ListEntryFiles(installPath)) {
        if (entry.stage == EntryStage::Kept || !ReadEntryFile(installPath, entry)) continue;
        if (entry.stage == EntryStage::Moving && !FinishMoving(installPath, entry, events)) return false;
        if (entry.stage == EntryStage::Restoring && FinishRestore(installPath, entry, events, now).stopped) return false;
        if (entry.stage == EntryStage::Purging) purging.push_back(std::move(entry));
    }
    return purging.empty() || !PurgeEntries(installPath, std::move(purging), events).stopped;
}

std::vector<QuarantineEntry> ListQuarantine(const std::string& installPath) {
    std::vector<QuarantineEntry> entries = ListEntryFiles(installPath);
    KeepInPlace(entries, [&](std::size_t i) {
        return entries[i].stage == EntryStage::Kept && ReadEntryFile(installPath, entries[i]);
    });
    entries.shrink_to_fit();
    std::stable_sort(entries.begin(), entries.end(), [](const QuarantineEntry& a, const QuarantineEntry& b) {
        return a.quarantinedOn < b.quarantinedOn;
    });
    return entries;
}

std::vector<QuarantineEntry> ExpiredEntries(std::vector<QuarantineEntry> entries, int graceDays, std::time_t now) {
    std::erase_if(entries, [&](const QuarantineEntry& entry) {
        const auto purgeDay = PurgeDay(entry.day, graceDays);
        return !purgeDay || *purgeDay > now;
    });
    return entries;
}

RestoreResult RestoreAccount(const std::string& installPath, const std::string& userName, const QuarantineEvents& events,
                             std::time_t now) {
    if (!SettleQuarantine(installPath, events, now)) return {false, "The quarantine's last steps could not be recorded.", true};
    std::vector<QuarantineEntry> entries = ListQuarantine(installPath);
    // The latest quarantined of that name, should it have been quarantined more than once.
    const auto found = std::find_if(entries.rbegin(), entries.rend(), [&](const QuarantineEntry& entry) {
        return !entry.userName.empty() && platform::EqualsIgnoringCase(entry.userName, userName);
    });
    if (found == entries.rend()) return {false, userName + " is not in quarantine.", false};
    QuarantineEntry entry = *found;
    if (!MoveEntryToStage(installPath, entry, EntryStage::Restoring))
        return {false, EntryFilePath(installPath, entry, EntryStage::Kept) + " cannot be renamed.", false};
    return FinishRestore(installPath, entry, events, now);
}

PurgeRun PurgeEntries(const std::string& installPath, std::vector<QuarantineEntry> entries, const QuarantineEvents& events) {
    PurgeRun run;
    // Marked first, so that a run killed half-way through a folder finishes the purge.
    for (QuarantineEntry& entry : entries)
        if (entry.stage == EntryStage::Kept) MoveEntryToStage(installPath, entry, EntryStage::Purging, false);
    std::erase_if(entries, [](const QuarantineEntry& entry) { return entry.stage != EntryStage::Purging; });
    platform::SyncFileSystem(installPath);

    // An entry that fails is moved to the failed ones and marked; the rest stay in the one list,
    // so that a purge of a hundred thousand accounts holds no second copy of it.
    std::vector<bool> failed(entries.size(), false);
    const auto fail = [&](std::size_t k, std::string reason) {
        failed[k] = true;
        run.failed.emplace_back(std::move(entries[k]), std::move(reason));
    };
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const std::string folder = QuarantinedFolderPath(installPath, entries[k]);
        const bool removed = platform::IsDirectory(folder) ? platform::RemoveFolderTree(folder)
                                                           : !platform::PathExists(folder) || platform::DeleteFile(folder) == 0;
        if (!removed) fail(k, folder + " could not be removed whole.");
    }
    std::vector<std::string> names;
    std::vector<std::size_t> namedAt;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        if (failed[k] || !entries[k].deleteTervoxUser || entries[k].userName.empty()) continue;
        names.push_back(entries[k].userName);
        namedAt.push_back(k);
    }
    if (!names.empty()) {
        const TervoxDeletion tervox = events.deleteTervoxUsers(names);
        for (std::size_t n = 0; n < names.size(); ++n)
            if (tervox.failedFor(n)) fail(namedAt[n], tervox.reason);
    }
    KeepInPlace(entries, [&](std::size_t k) { return !failed[k]; });
    run.purged = std::move(entries);
    if (!run.purged.empty() && !events.record(run.purged, QuarantineEvent::Purged)) {
        run.stopped = true;
        run.purged.clear();
        return run;
    }
    // Each day folder is tried once, at the end: trying it after every entry made the folder be
    // read again and again while it emptied.
    std::set<std::string> days;
    for (const QuarantineEntry& entry : run.purged) {
        ForgetEntry(installPath, entry, false);
        days.insert(entry.day);
    }
    for (const std::string& day : days) platform::RemoveDirectory(DayFolder(installPath, day));
    return run;
}
