#include "dormix/scan/GracePeriod.h"

#include <algorithm>

#include "dormix/scan/AuditLog.h"
#include "dormix/scan/FolderUserName.h"
#include "dormix/scan/JudgeAccounts.h"
#include "dormix/scan/LineEscape.h"
#include "platform/FileOps.h"

namespace {

const char* EventText(QuarantineEvent event) {
    switch (event) {
        case QuarantineEvent::Quarantined:
            return "quarantined";
        case QuarantineEvent::Restored:
            return "restored";
        case QuarantineEvent::Purged:
            return "purged";
    }
    return "";
}

AccountJudgement EntryAccount(const std::string& installPath, const QuarantineEntry& entry) {
    AccountJudgement account;
    account.folder = AccountFolderPath(installPath, entry.folderName);
    account.userName = entry.userName;
    account.lastLogon = entry.lastLogon;
    return account;
}

}  // namespace

std::string QuarantineAuditLine(const std::string& installPath, const QuarantineEntry& entry, QuarantineEvent event,
                                std::time_t at, const RunIdentity& run) {
    DeletedAccount deleted;
    // The key records are out of the key files while the account is in quarantine and after.
    deleted.keysRemoved = event != QuarantineEvent::Restored && entry.userRecord && entry.timeRecord;
    if (event == QuarantineEvent::Purged && entry.deleteTervoxUser && entry.tervoxUserKept.empty())
        deleted.tervoxOutcome = entry.tervoxUserAbsent ? TervoxOutcome::Absent : TervoxOutcome::Removed;
    std::string line = AuditLine(EntryAccount(installPath, entry), deleted, at, run);
    line.insert(line.size() - 1, std::string("\t") + EventText(event));
    return line;
}

namespace {

// The events that record each step, with no protected list: the scan has its own, and a
// quarantining batch asks none.
QuarantineEvents RecordingEvents(const std::string& installPath, const RunIdentity& run, std::time_t now) {
    QuarantineEvents events;
    // One synced append for all the entries of a step: a sync per account made a batch many
    // times slower than moving the folders.
    events.record = [installPath, run, now](const std::vector<QuarantineEntry>& entries, QuarantineEvent event) {
        std::string lines;
        for (const QuarantineEntry& entry : entries) lines += QuarantineAuditLine(installPath, entry, event, now, run);
        if (!AppendAuditLine(AuditLogPath(installPath), lines)) return false;
        for (const QuarantineEntry& entry : entries) RecordAccount(run, EntryAccount(installPath, entry), EventText(event));
        return true;
    };
    return events;
}

}  // namespace

QuarantineEvents AuditedEvents(const std::string& installPath, const RunIdentity& run, std::time_t now) {
    QuarantineEvents events = RecordingEvents(installPath, run, now);
    // A list that may have been cut could hide any name: then every user counts as protected.
    events.isProtected = [list = ReadProtectedAccounts()](const std::string& name) { return list.cut || list.covers(name); };
    return events;
}

std::string PurgeStateText(const QuarantineEntry& entry) {
    if (entry.stage != EntryStage::Purging) return {};
    return "purge begun, cannot be restored" +
           (entry.lastFailure.empty() ? std::string() : "; last failure: " + EscapedForLine(entry.lastFailure));
}

std::string PurgedLine(const std::string& installPath, const QuarantineEntry& entry) {
    std::string line = "Purged " + EscapedForLine(entry.userName) + " (" +
                       EscapedForLine(QuarantinedFolderPath(installPath, entry)) + ")";
    // The reason may name a folder, whose name must not break the line either.
    if (!entry.tervoxUserKept.empty()) line += "; its mail-server user was kept: " + EscapedForLine(entry.tervoxUserKept);
    return line;
}

std::vector<AccountNotDeleted> NotPurgedAccounts(const std::string& installPath, const std::vector<RefusedEntry>& entries) {
    std::vector<AccountNotDeleted> accounts;
    for (const auto& [entry, reason] : entries)
        accounts.push_back({EntryName(entry), QuarantinedFolderPath(installPath, entry), reason});
    return accounts;
}

namespace {

QuarantineEvents RunEvents(const DormixPaths& paths, const ProtectedAccounts& protectedAccounts, const RunIdentity& run,
                           std::time_t now) {
    QuarantineEvents events = RecordingEvents(paths.installPath, run, now);
    events.isProtected = [&protectedAccounts](const std::string& name) { return protectedAccounts.covers(name); };
    return events;
}

// The same entry: its day folder and its folder's name.
bool SameEntry(const QuarantineEntry& a, const QuarantineEntry& b) { return a.day == b.day && a.folderName == b.folderName; }

}  // namespace

std::string SettleGracePeriod(const DormixPaths& paths, int graceDays, const ProtectedAccounts& protectedAccounts,
                              const RunIdentity& run, std::time_t now, QuarantinePurges& purges) {
    if (graceDays > 0) {
        if (std::string problem = PrepareQuarantine(paths.installPath); !problem.empty()) return problem;
    } else if (!platform::IsDirectory(QuarantineFolder(paths.installPath))) {
        return {};
    }
    std::vector<RefusedEntry> refused;
    const bool settled = SettleQuarantine(paths.installPath, RunEvents(paths, protectedAccounts, run, now), now, &refused);
    purges.notPurged = NotPurgedAccounts(paths.installPath, refused);
    return settled ? std::string() : UnableToCreateFileText(AuditLogPath(paths.installPath));
}

std::string PurgeDueEntries(const DormixPaths& paths, int graceDays, const ProtectedAccounts& protectedAccounts,
                            const RunIdentity& run, std::time_t now, const std::vector<QuarantineEntry>& planned,
                            QuarantinePurges& purges) {
    if (!platform::IsDirectory(QuarantineFolder(paths.installPath))) return {};
    std::vector<QuarantineEntry> entries = ListQuarantine(paths.installPath);
    const QuarantineWaiting waiting = WaitingEntries(entries, graceDays, now);
    purges.waiting = waiting.count;
    purges.nextPurge = waiting.next;
    // Only what the question was asked about: an entry due only since waits for the next run.
    std::vector<QuarantineEntry> expired = ExpiredEntries(std::move(entries), graceDays, now);
    std::erase_if(expired, [&](const QuarantineEntry& entry) {
        return std::none_of(planned.begin(), planned.end(), [&](const QuarantineEntry& p) { return SameEntry(p, entry); });
    });
    if (expired.empty()) return {};
    const PurgeRun purge =
        PurgeEntries(paths.installPath, std::move(expired), RunEvents(paths, protectedAccounts, run, now));
    for (const QuarantineEntry& entry : purge.purged) purges.purged.push_back(PurgedLine(paths.installPath, entry));
    const std::vector<AccountNotDeleted> failed = NotPurgedAccounts(paths.installPath, purge.failed);
    purges.notPurged.insert(purges.notPurged.end(), failed.begin(), failed.end());
    return purge.stopped ? UnableToCreateFileText(AuditLogPath(paths.installPath)) : std::string();
}

BatchResult QuarantineDormantBatch(std::vector<BatchMember>& members, const BatchFiles& files, const BatchTerms& terms,
                                   ScanProgress* progress, int number, int count) {
    std::vector<AccountToQuarantine> accounts;
    std::vector<BatchMember*> moving;
    for (BatchMember& member : members) {
        if (LeaveOnStop(member, progress)) continue;
        if (progress) progress->deleting(number++, count, member.account.userName);
        if (!StillDormant(member, terms)) continue;
        const bool named = NamesAUser(member.account.folder);
        accounts.push_back({member.account.folder, named ? member.account.userName : std::string(), member.account.lastLogon});
        moving.push_back(&member);
    }
    const QuarantineRun run = QuarantineAccounts(files.installPath, accounts, terms.now, terms.withTervoxUsers,
                                                 RecordingEvents(files.installPath, files.run, terms.now), terms.graceDays);
    for (std::size_t i = 0; i < moving.size(); ++i) {
        DeletedAccount& deleted = moving[i]->deleted;
        if (run.accounts[i].quarantined) {
            deleted.deleted = true;
            deleted.keysRemoved = !accounts[i].userName.empty();
            deleted.quarantined = true;
        } else if (run.accounts[i].keysLeft != KeysLeft::None) {
            deleted.logReason = run.accounts[i].keysLeft == KeysLeft::KeptChanging ? LogReason::KeysKeptChanging
                                                                                    : LogReason::KeysNotRemoved;
            deleted.logDetail = run.accounts[i].reason;
        } else if (!run.accounts[i].reason.empty()) {
            deleted.logReason = LogReason::FolderNotDeleted;
            deleted.logDetail = run.accounts[i].reason;
        }
        moving[i]->inHand = false;
        if (progress) progress->finished(moving[i]->account, deleted);
    }
    return {run.stopped ? BatchEnd::AuditFailed : BatchEnd::Done, {}};
}
