#include "dormix/quarantine/Quarantine.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <tuple>

#include "dormix/keyindex/FindUserKeyRecords.h"
#include "dormix/keyindex/InsertKeyRecord.h"
#include "dormix/keyindex/KeyFile.h"
#include "dormix/keyindex/KeyLookup.h"
#include "dormix/keyindex/RemoveUserKeys.h"
#include "dormix/keyindex/RemoveUserKeysBatch.h"
#include "dormix/keyindex/UserKey.h"
#include "dormix/scan/FolderUserName.h"
#include "dormix/scan/LineEscape.h"
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

// One of an entry's records after a removal: the removed record when it went; else true when
// the file may still hold the record as read (a file that cannot be read may), which then stays in
// the entry to be removed later. A record the file no longer holds, or holds anew, is not the entry's.
bool KeepRecord(const std::string& path, bool removed, const keyindex::KeyRemoval& removal,
                std::optional<KeyRecordBytes>& record) {
    if (removed) {
        record = removal.record;
        return false;
    }
    if (!record) return false;
    const Holding holding = HoldingOf(path, *record);
    if (holding == Holding::Same || holding == Holding::Unreadable) return true;
    record.reset();
    return false;
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

// Gives the account's "user.ini" the day of the restore as its last logon; false when it could not.
// Only an ordinary file is written: a link in a folder that anyone may have changed is never
// followed. before: the file's bytes as they were, for an undo.
bool MarkRestoredToday(const std::string& folder, std::time_t now, std::string& path, std::string& before) {
    const std::string resolved = platform::ResolveCase(folder);
    for (const platform::FoundEntry& file : platform::sys::ListFolder(resolved)) {
        if (file.isDirectory || file.isSymlink || !platform::EqualsIgnoringCase(file.name, "user.ini")) continue;
        path = resolved + platform::kSepText + file.name;
        return platform::ReadFileBytes(path, before) &&
               platform::WriteProfileString(path, "PROGRAM", "LASTLOGON", platform::LocalTimeText(now, "%Y/%m/%d"));
    }
    return false;
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
    const std::string name = EntryName(entry);
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
        std::string userIni, before;
        const bool marked = MarkRestoredToday(from, now, userIni, before);
        const platform::ErrorCode e = marked ? platform::MoveFile(from, to) : 0;
        if (!marked || e) {
            if (marked) platform::WriteFileAtomically(userIni, before, platform::TargetLink::Refuse);
            RemoveOwnRecords(installPath, entry);
            return Refuse(installPath, entry,
                          name + " cannot be restored: " +
                              (marked ? platform::SystemErrorText(e) : "the last logon in its user.ini cannot be written."));
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

// The entry that the list shows under name: its user's name or, for a folder that names no user,
// the folder's name, each as the list prints it.
bool EntryNamed(const QuarantineEntry& entry, const std::string& name) {
    if (!entry.userName.empty()) return platform::EqualsIgnoringCase(EscapedForLine(entry.userName), name);
    return EscapedForLine(entry.folderName) == name;
}

bool IsDue(const QuarantineEntry& entry, int graceDays, std::time_t now) {
    if (entry.stage == EntryStage::Purging) return true;
    const auto purgeDay = EntryPurgeDay(entry, graceDays);
    return purgeDay && *purgeDay <= now;
}

// Why the entry's user name is someone's again: an account folder of that name, or userRecord, a
// "USER.KEY" record of it (its own went at the quarantine); empty when it is not.
std::string EntryNameInUseAgain(const std::string& installPath, const QuarantineEntry& entry,
                                const std::optional<KeyRecordBytes>& userRecord = std::nullopt) {
    return NameInUseAgain(AccountFolderPath(installPath, entry.folderName), userRecord);
}

// Deletes the mail-server users of the entries (those whose run was told to), each only while its
// name is no one's again and its row is the one recorded; a user kept is said in its entry. fail
// takes an entry whose user may still be there.
template <typename Fail>
void PurgeTervoxUsers(const std::string& installPath, std::vector<QuarantineEntry>& entries, const std::vector<bool>& failed,
                      const QuarantineEvents& events, const Fail& fail) {
    std::vector<std::size_t> asked;
    std::vector<std::string> names;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        if (failed[k] || !entries[k].deleteTervoxUser || entries[k].userName.empty()) continue;
        asked.push_back(k);
        names.push_back(entries[k].userName);
    }
    if (names.empty()) return;
    const std::vector<keyindex::UserKeyRecords> records = keyindex::FindUserKeyRecords(installPath, names);
    std::vector<std::size_t> deleting;
    std::vector<std::string> deletingNames;
    std::vector<std::optional<TervoxRow>> rows;
    for (std::size_t n = 0; n < asked.size(); ++n) {
        QuarantineEntry& entry = entries[asked[n]];
        entry.tervoxUserKept = EntryNameInUseAgain(installPath, entry, records[n].user);
        if (!entry.tervoxUserKept.empty()) continue;
        deleting.push_back(asked[n]);
        deletingNames.push_back(std::move(names[n]));
        rows.push_back(entry.tervoxRow);
    }
    if (deleting.empty()) return;
    const TervoxDeletion tervox = events.deleteTervoxUsers(deletingNames, rows);
    for (std::size_t n = 0; n < deleting.size(); ++n) {
        QuarantineEntry& entry = entries[deleting[n]];
        entry.tervoxUserAbsent = tervox.absentFor(n);
        if (tervox.changedFor(n))
            entry.tervoxUserKept = "the mail server's user is not the one it held when the account was quarantined";
        if (tervox.failedFor(n)) fail(deleting[n], tervox.reason);
    }
}

}  // namespace

std::string PurgeBegunText(const std::string& name) {
    return name + " cannot be restored: its purge has begun.";
}

namespace {

// The refusal of a quarantine that cannot take the account folders; make: a missing one is made,
// else it is judged where it would be made, nothing on disk changing.
std::string QuarantineRefusal(const std::string& installPath, bool make) {
    const std::string quarantine = QuarantineFolder(installPath);
    std::string reached = quarantine;  // where the folders would go: the quarantine, or its parent
    if (!platform::IsDirectory(quarantine)) {
        platform::ErrorCode e = 0;
        // Mail moved in stays as private as it was under the account folders, and theirs to own.
        if (make) e = platform::CreateDirectoryLike(quarantine, UserFolder(installPath));
        else if (platform::PathExists(quarantine)) e = platform::kAlreadyExists;  // a file or a link in its place
        else reached = installPath;
        if (e && !platform::IsDirectory(quarantine))
            return "The quarantine folder " + quarantine + " cannot be made: " + platform::SystemErrorText(e) +
                   " Nothing was deleted.";
    }
    const std::string users = UserFolder(installPath);
    if (platform::OnSameFileSystem(users, reached) != std::optional<bool>(true))
        return "The account folders in " + users + " cannot be moved into " + quarantine +
               " by a rename: both must be on the same file system. Nothing was deleted.";
    return {};
}

}  // namespace

std::string PrepareQuarantine(const std::string& installPath) { return QuarantineRefusal(installPath, true); }

std::string QuarantineProblem(const std::string& installPath) { return QuarantineRefusal(installPath, false); }

QuarantineRun QuarantineAccounts(const std::string& installPath, const std::vector<AccountToQuarantine>& accounts,
                                 std::time_t now, bool deleteTervoxUsers, const QuarantineEvents& events,
                                 std::optional<int> graceDays) {
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
    // The purge deletes a mail-server user only while it is the one there now.
    const auto rows = deleteTervoxUsers && !names.empty() ? events.lookUpTervoxUsers(names) : std::nullopt;

    // Each entry file is on disk before its folder moves, and both before a key record goes.
    std::vector<QuarantineEntry> moved;
    std::vector<std::size_t> movedAt;
    for (std::size_t i = 0, named = 0; i < accounts.size(); ++i) {
        const AccountToQuarantine& account = accounts[i];
        QuarantineEntry entry{day, FolderNameOf(account.folderPath), account.userName, account.lastLogon, now,
                              deleteTervoxUsers, std::nullopt, std::nullopt, EntryStage::Moving, graceDays, std::nullopt,
                              {}, false, {}};
        if (!account.userName.empty()) {
            if (rows) entry.tervoxRow = (*rows)[named];
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
        QuarantineOutcome& outcome = run.accounts[movedAt[namedAt[n]]];
        const keyindex::UserKeysRemoval& removal = removals[n];
        // The entry keeps exactly what was removed, should the files have changed since they were
        // read, and every record of its own that is still there to go.
        const std::optional<KeyRecordBytes> read[] = {entry.userRecord, entry.timeRecord};
        const bool userLeft = KeepRecord(UserKeyPath(installPath), removal.userRecordRemoved(), removal.user, entry.userRecord);
        const bool timeLeft = KeepRecord(TimeKeyPath(installPath), removal.timeRecordRemoved(), removal.time, entry.timeRecord);
        if (!userLeft && !timeLeft) {
            if (entry.userRecord != read[0] || entry.timeRecord != read[1]) WriteEntryFile(installPath, entry);
            continue;
        }
        // Not quarantined: left whole where it was when "USER.KEY" kept its record, else left to
        // the next run, which removes what is left of its records from its entry.
        keep[namedAt[n]] = false;
        const keyindex::KeyRemoval& failed = userLeft ? removal.user : removal.time;
        outcome.keysLeft = removal.fileKeptChanging() ? KeysLeft::KeptChanging : KeysLeft::NotRemoved;
        outcome.reason = failed.error ? platform::SystemErrorText(failed.error) : std::string();
        if (userLeft &&
            platform::MoveFile(QuarantinedFolderPath(installPath, entry), accounts[movedAt[namedAt[n]]].folderPath) == 0) {
            ForgetEntry(installPath, entry, false);
            continue;
        }
        WriteEntryFile(installPath, entry);
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

bool SettleQuarantine(const std::string& installPath, const QuarantineEvents& events, std::time_t now,
                      std::vector<RefusedEntry>* refused) {
    TidyDayFolders(installPath);
    for (QuarantineEntry& entry : ListEntryFiles(installPath)) {
        // A purge begun is finished, or its failure told, by the next purge.
        if (entry.stage == EntryStage::Kept || entry.stage == EntryStage::Purging || !ReadEntryFile(installPath, entry))
            continue;
        // A quarantine that moved no folder undoes itself; any other step acts only on an entry
        // that agrees with the installation.
        if (entry.stage != EntryStage::Moving || platform::IsDirectory(QuarantinedFolderPath(installPath, entry))) {
            std::string problem = EntryDisagreement(installPath, entry, events);
            if (problem.empty() && entry.stage == EntryStage::Moving) problem = EntryNameInUseAgain(installPath, entry);
            if (!problem.empty()) {
                if (refused) refused->emplace_back(std::move(entry), std::move(problem));
                continue;
            }
        }
        if (entry.stage == EntryStage::Moving && !FinishMoving(installPath, entry, events)) return false;
        if (entry.stage == EntryStage::Restoring && FinishRestore(installPath, entry, events, now).stopped) return false;
    }
    return true;
}

std::vector<QuarantineEntry> ListQuarantine(const std::string& installPath) {
    std::vector<QuarantineEntry> entries = ListEntryFiles(installPath);
    KeepInPlace(entries, [&](std::size_t i) {
        const EntryStage stage = entries[i].stage;
        return (stage == EntryStage::Kept || stage == EntryStage::Purging) && ReadEntryFile(installPath, entries[i]);
    });
    entries.shrink_to_fit();
    // In the order of their quarantine, then of their folders: the same on every file system,
    // whatever order its folder listing has.
    std::stable_sort(entries.begin(), entries.end(), [](const QuarantineEntry& a, const QuarantineEntry& b) {
        return std::tie(a.quarantinedOn, a.day, a.folderName) < std::tie(b.quarantinedOn, b.day, b.folderName);
    });
    return entries;
}

std::vector<QuarantineEntry> ExpiredEntries(std::vector<QuarantineEntry> entries, int graceDays, std::time_t now) {
    std::erase_if(entries, [&](const QuarantineEntry& entry) { return !IsDue(entry, graceDays, now); });
    return entries;
}

QuarantineWaiting WaitingEntries(const std::vector<QuarantineEntry>& entries, int graceDays, std::time_t now) {
    QuarantineWaiting waiting;
    for (const QuarantineEntry& entry : entries) {
        if (IsDue(entry, graceDays, now)) continue;
        ++waiting.count;
        const auto day = EntryPurgeDay(entry, graceDays);
        if (day && (!waiting.next || *day < *waiting.next)) waiting.next = day;
    }
    return waiting;
}

std::string EntryDisagreement(const std::string& installPath, const QuarantineEntry& entry, const QuarantineEvents& events) {
    const std::string file = EntryFilePath(installPath, entry, entry.stage);
    const std::string& name = entry.userName;
    const std::string shown = EscapedForLine(name.empty() ? entry.folderName : name);
    // Within a day either way: the clock's zone may have changed since.
    const auto start = StartOfDay(entry.day);
    if (!start || entry.quarantinedOn < *start - 86400 || entry.quarantinedOn >= *start + 2 * 86400)
        return file + " does not lie in the day folder of the quarantine it records.";
    // Dormix names a folder's user only when the folder spells the name, and keeps no key
    // record for a folder that names none.
    const bool spelt = NamesAUser(entry.folderName) && FolderUserName(entry.folderName) == name;
    if (!name.empty() ? !spelt : entry.userRecord || entry.timeRecord)
        return file + " names a user that is not its folder's.";
    const std::string userKey = keyindex::MakeUserKey(name).substr(0, keyindex::kKeySize);
    const bool userRecordOwn = !entry.userRecord || keyindex::KeyOfRecord(*entry.userRecord).data() == userKey;
    const bool timeRecordOwn =
        !entry.timeRecord ||
        (entry.userRecord && std::string(keyindex::KeyOfRecord(*entry.timeRecord).data()) ==
                                 std::string(keyindex::ValueOfRecord(entry.userRecord->data()).data()));
    if (!userRecordOwn || !timeRecordOwn) return file + " holds key records that are not " + shown + "'s.";
    // A purge killed once its folder was gone finishes without it.
    const std::string folder = QuarantinedFolderPath(installPath, entry);
    if ((entry.stage == EntryStage::Kept || entry.stage == EntryStage::Moving) && !platform::IsDirectory(folder))
        return file + " does not stand beside its folder " + folder + ".";
    // Protection keeps an account from going; putting one back is no harm to it.
    if (!name.empty() && entry.stage != EntryStage::Restoring && events.isProtected(name))
        return shown + " is a protected account.";
    return {};
}

namespace {

// Restores the latest entry, as the quarantine stands once settled, for which matches is true;
// userName is what the list shows of it.
template <typename Matches>
RestoreResult RestoreLatest(const std::string& installPath, const std::string& userName, const QuarantineEvents& events,
                            std::time_t now, const Matches& matches) {
    if (!SettleQuarantine(installPath, events, now)) return {false, "The quarantine's last steps could not be recorded.", true};
    std::vector<QuarantineEntry> entries = ListQuarantine(installPath);
    const auto found = std::find_if(entries.rbegin(), entries.rend(), matches);
    if (found == entries.rend()) return {false, userName + " is not in quarantine.", false};
    if (found->stage != EntryStage::Kept) return {false, PurgeBegunText(userName), false};
    QuarantineEntry entry = *found;
    if (!MoveEntryToStage(installPath, entry, EntryStage::Restoring))
        return {false, EntryFilePath(installPath, entry, EntryStage::Kept) + " cannot be renamed.", false};
    return FinishRestore(installPath, entry, events, now);
}

}  // namespace

RestoreResult RestoreAccount(const std::string& installPath, const std::string& userName, const QuarantineEvents& events,
                             std::time_t now) {
    // The latest quarantined of that name, should it have been quarantined more than once.
    return RestoreLatest(installPath, userName, events, now,
                         [&](const QuarantineEntry& entry) { return EntryNamed(entry, userName); });
}

RestoreResult RestoreEntry(const std::string& installPath, const QuarantineEntry& chosen, const QuarantineEvents& events,
                           std::time_t now) {
    const std::string name = chosen.userName.empty() ? EscapedForLine(chosen.folderName) : chosen.userName;
    return RestoreLatest(installPath, name, events, now, [&](const QuarantineEntry& entry) {
        return entry.day == chosen.day && entry.folderName == chosen.folderName && entry.quarantinedOn == chosen.quarantinedOn;
    });
}

PurgeRun PurgeEntries(const std::string& installPath, std::vector<QuarantineEntry> entries, const QuarantineEvents& events) {
    PurgeRun run;
    // An entry that fails is moved to the failed ones; the rest stay in the one list, so that a
    // purge of a hundred thousand accounts holds no second copy of it. A failure of a purge begun
    // is kept in the entry's file, so that every list shows it until the entry is purged.
    std::vector<bool> failed(entries.size(), false);
    bool written = false;  // failures written into entries, synced at once at the end
    const auto fail = [&](std::size_t k, std::string reason) {
        failed[k] = true;
        if (entries[k].stage == EntryStage::Purging) {
            entries[k].lastFailure = reason;
            written = WriteEntryFile(installPath, entries[k], true) || written;
        }
        run.failed.emplace_back(std::move(entries[k]), std::move(reason));
    };
    // An entry that does not agree with the installation is left alone, as it stands.
    for (std::size_t k = 0; k < entries.size(); ++k)
        if (std::string problem = EntryDisagreement(installPath, entries[k], events); !problem.empty())
            fail(k, std::move(problem));
    // Marked first, so that a run killed half-way through a folder finishes the purge.
    for (std::size_t k = 0; k < entries.size(); ++k)
        if (!failed[k] && entries[k].stage == EntryStage::Kept && !MoveEntryToStage(installPath, entries[k], EntryStage::Purging, false))
            fail(k, EntryFilePath(installPath, entries[k], EntryStage::Kept) + " cannot be renamed.");
    platform::SyncFileSystem(installPath);

    for (std::size_t k = 0; k < entries.size(); ++k) {
        if (failed[k]) continue;
        const std::string folder = QuarantinedFolderPath(installPath, entries[k]);
        const bool removed = platform::IsDirectory(folder) ? platform::RemoveFolderTree(folder)
                                                           : !platform::PathExists(folder) || platform::DeleteFile(folder) == 0;
        if (!removed) fail(k, folder + " could not be removed whole.");
    }
    PurgeTervoxUsers(installPath, entries, failed, events, fail);
    if (written) platform::SyncFileSystem(installPath);
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
