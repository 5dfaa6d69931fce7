#include "dormix/scan/DeleteDormantAccount.h"

#include <algorithm>

#include "dormix/keyindex/FindUserKeyRecords.h"
#include "dormix/keyindex/RemoveUserKeysBatch.h"
#include "dormix/scan/AuditLog.h"
#include "dormix/scan/FolderUserName.h"
#include "platform/FileOps.h"
#include "platform/FolderRemoval.h"

namespace {

using keyindex::KeyRemoval;
using keyindex::RemovalResult;

bool NamedUser(const BatchMember& member) { return member.inHand && NamesAUser(member.account.folder); }

// The members in hand whose folders name a user, and those users' names into names.
std::vector<BatchMember*> NamedMembers(std::vector<BatchMember>& members, std::vector<std::string>& names) {
    std::vector<BatchMember*> named;
    for (BatchMember& member : members) {
        if (!NamedUser(member)) continue;
        named.push_back(&member);
        names.push_back(member.account.userName);
    }
    return named;
}

PendingBatch Pending(const std::vector<BatchMember>& members, PendingStage stage, const BatchTerms& terms) {
    PendingBatch batch{stage, terms.withTervoxUsers, {}, terms.days};
    for (const BatchMember& member : members) {
        if (member.inHand)
            batch.accounts.push_back(
                {member.account.folder, member.account.lastLogon, member.userKeyValue, member.deleted.keysRemoved});
    }
    return batch;
}

// The member goes no further in this batch, and its log line says why.
void Keep(BatchMember& member, LogReason reason, std::string detail = {}) {
    member.inHand = false;
    member.deleted.logReason = reason;
    member.deleted.logDetail = std::move(detail);
}

std::string ErrorDetail(platform::ErrorCode code) { return code == 0 ? std::string() : platform::SystemErrorText(code); }

// What a tree removal had to leave, as the log line says it.
std::string LeftBehindText(const platform::FolderRemoval& removal) {
    switch (removal.leftBehind()) {
        case platform::LeftBehind::ReadOnlyFile:
            return "a read-only file is in its folder";
        case platform::LeftBehind::OtherDevice:
            return "another file system is mounted in its folder";
        case platform::LeftBehind::Failure:
            return ErrorDetail(removal.error());
        case platform::LeftBehind::Nothing:
            break;
    }
    return {};
}

// Each member's "user.ini" is read again right before its folder is touched: the verdict may be
// minutes old, and a user who logged on meanwhile keeps the account whole, uncounted and
// unrecorded. "user.ini" stays: while it is there, the account is still found as the same
// dormant one.
void EmptyFolders(std::vector<BatchMember>& members, const BatchTerms& terms, ScanProgress* progress, int number,
                  int count) {
    for (BatchMember& member : members) {
        if (LeaveOnStop(member, progress)) continue;
        if (progress) progress->deleting(number++, count, member.account.userName);
        if (!StillDormant(member, terms)) continue;
        platform::FolderRemoval folder(member.account.folder);
        if (!folder.removeAllBut("user.ini")) Keep(member, LogReason::FolderNotDeleted, LeftBehindText(folder));
    }
}

// A record that was there and is there still, or that a file changing under the removal kept.
bool RecordLeft(const KeyRemoval& removal) {
    return removal.result == RemovalResult::FileChanged || (removal.found && removal.result != RemovalResult::Removed);
}

// The key records of the batch, one pass over each key file. The pending deletions are written
// with the "USER.KEY" values before that file loses a record, so that a kill between the two
// files leaves the "USERTIME.KEY" records to be found by value. A member whose records could not
// all be removed is kept. False when the pending deletions could not be written.
bool RemoveKeyRecords(std::vector<BatchMember>& members, const BatchFiles& files, const BatchTerms& terms) {
    std::vector<std::string> names;
    const std::vector<BatchMember*> named = NamedMembers(members, names);
    keyindex::BatchJournal journal;
    for (const BatchMember* member : named) journal.knownTimeKeys.push_back(member->userKeyValue);
    bool written = true;
    journal.beforeUserFileReplaced = [&](const std::vector<KeyRemoval>& planned) {
        for (std::size_t i = 0; i < planned.size(); ++i)
            if (planned[i].found) named[i]->userKeyValue = planned[i].value;
        written = WritePendingDeletions(files.pendingPath, Pending(members, PendingStage::KeyRecords, terms));
        return written;
    };
    const std::vector<keyindex::UserKeysRemoval> removals = keyindex::RemoveUserKeysBatch(files.installPath, names, journal);
    if (!written) return false;
    for (std::size_t i = 0; i < named.size(); ++i) {
        const keyindex::UserKeysRemoval& removal = removals[i];
        BatchMember& member = *named[i];
        if (removal.fileKeptChanging()) {
            Keep(member, LogReason::KeysKeptChanging);
        } else if (RecordLeft(removal.user)) {
            Keep(member, LogReason::KeysNotRemoved, ErrorDetail(removal.user.error));
        } else if (RecordLeft(removal.time)) {
            Keep(member, LogReason::KeysNotRemoved, ErrorDetail(removal.time.error));
        } else {
            member.deleted.keysRemoved = member.deleted.keysRemoved || removal.timeRecordRemoved();
            continue;
        }
        member.timeRecordLeft = RecordLeft(removal.time);
    }
    return true;
}

TervoxDeletion RemoveTervoxUsers(std::vector<BatchMember>& members) {
    std::vector<std::string> names;
    const std::vector<BatchMember*> named = NamedMembers(members, names);
    if (names.empty()) return {};
    TervoxDeletion deletion = DeleteTervoxUsers(names);
    for (std::size_t i = 0; i < named.size(); ++i)
        named[i]->deleted.tervoxOutcome = deletion.failedFor(i)   ? TervoxOutcome::Failed
                                          : deletion.absentFor(i) ? TervoxOutcome::Absent
                                                                  : TervoxOutcome::Removed;
    return deletion;
}

// Each member's record, then its "user.ini" and folder. A member whose folder is gone already
// was finished before a kill, record included.
bool FinishFolders(std::vector<BatchMember>& members, const BatchFiles& files, ScanProgress* progress) {
    for (BatchMember& member : members) {
        if (!member.inHand) continue;
        if (!platform::PathExists(member.account.folder)) {
            member.inHand = false;
            continue;
        }
        if (!AppendAuditLine(files.auditPath, AuditLine(member.account, member.deleted, std::time(nullptr), files.run)))
            return false;
        platform::FolderRemoval folder(member.account.folder);
        member.deleted.deleted = folder.removeRest();
        if (!member.deleted.deleted) Keep(member, LogReason::FolderNotDeleted, LeftBehindText(folder));
        if (progress) progress->finished(member.account, member.deleted);
    }
    return true;
}

// From the mail-server users on, the same for a new batch and for one left pending.
BatchResult FinishBatch(std::vector<BatchMember>& members, const BatchFiles& files, const BatchTerms& terms,
                        ScanProgress* progress) {
    BatchResult result;
    // The pending deletions on disk name the members whose "USERTIME.KEY" record outlived the
    // "USER.KEY" one, with its value: they stay as they are for the next scan to finish.
    const bool keysLeft = std::any_of(members.begin(), members.end(), [](const BatchMember& m) { return m.timeRecordLeft; });
    if (!keysLeft && !WritePendingDeletions(files.pendingPath, Pending(members, PendingStage::MailServer, terms))) {
        result.end = BatchEnd::PendingFailed;
        return result;
    }
    if (terms.withTervoxUsers) result.tervox = RemoveTervoxUsers(members);
    if (!FinishFolders(members, files, progress)) {
        result.end = BatchEnd::AuditFailed;
        return result;
    }
    if (keysLeft) {
        result.end = BatchEnd::KeysLeftPending;
    } else {
        platform::DeleteFile(files.pendingPath);
    }
    return result;
}

// Keeps each member of a batch left pending whose name is someone's again since the batch was
// written: a "USER.KEY" record of the name other than the one the batch recorded, or any once its
// records went. Its key records, mail-server user and folder are then another user's.
void KeepNamesInUseAgain(std::vector<BatchMember>& members, const std::string& installPath, PendingStage stage) {
    std::vector<std::string> names;
    const std::vector<BatchMember*> named = NamedMembers(members, names);
    if (names.empty()) return;
    const std::vector<keyindex::UserKeyRecords> records = keyindex::FindUserKeyRecords(installPath, names);
    for (std::size_t i = 0; i < named.size(); ++i) {
        BatchMember& member = *named[i];
        const bool recordsGone = stage == PendingStage::MailServer || member.deleted.keysRemoved;
        std::string why = NameInUseAgain({}, records[i].user, recordsGone ? std::nullopt : member.userKeyValue);
        if (!why.empty()) Keep(member, LogReason::PendingNameInUse, std::move(why));
    }
}

}  // namespace

bool LeaveOnStop(BatchMember& member, ScanProgress* progress) {
    // Before the key pass: the batch shrinks to the accounts taken, and the pending deletions
    // written for it name only those.
    if (!progress || !progress->stopRequested()) return false;
    member.inHand = false;
    member.untouched = true;
    return true;
}

bool StillDormant(BatchMember& member, const BatchTerms& terms) {
    const AccountJudgement again = JudgeAccount(member.account.folder, terms.days, terms.now);
    if (again.verdict != Verdict::Dormant) {
        member.inHand = false;
        return false;
    }
    member.account.lastLogon = again.lastLogon;
    member.account.daysSince = again.daysSince;
    return true;
}

BatchResult DeleteDormantBatch(std::vector<BatchMember>& members, const BatchFiles& files, const BatchTerms& terms,
                               ScanProgress* progress, int number, int count) {
    EmptyFolders(members, terms, progress, number, count);
    if (!RemoveKeyRecords(members, files, terms)) return {BatchEnd::PendingFailed, {}};
    return FinishBatch(members, files, terms, progress);
}

std::vector<BatchMember> PendingMembers(const PendingBatch& pending, std::int32_t days, std::time_t now) {
    std::vector<BatchMember> members;
    for (const PendingAccount& account : pending.accounts) {
        BatchMember member;
        member.account.folder = account.folder;
        member.account.userName = FolderUserName(account.folder);
        member.account.lastLogon = account.lastLogon;
        member.userKeyValue = account.userKeyValue;
        member.deleted.keysRemoved = account.keysRemoved;
        switch (JudgePendingAccount(account.folder, days, now)) {
            case PendingVerdict::Finish:
                break;
            case PendingVerdict::Gone:
                member.inHand = false;
                break;
            case PendingVerdict::NotBegun:
                Keep(member, LogReason::PendingNotBegun);
                break;
            case PendingVerdict::Emptied:
                member.inHand = false;
                member.emptyFolderLeft = true;
                break;
            case PendingVerdict::NotDormant:
                Keep(member, LogReason::PendingNotDormant);
                break;
        }
        members.push_back(std::move(member));
    }
    return members;
}

BatchResult FinishPendingBatch(PendingStage stage, std::vector<BatchMember>& members, const BatchFiles& files,
                               const BatchTerms& terms, ScanProgress* progress) {
    KeepNamesInUseAgain(members, files.installPath, stage);
    if (stage == PendingStage::KeyRecords && !RemoveKeyRecords(members, files, terms)) return {BatchEnd::PendingFailed, {}};
    for (const BatchMember& member : members)
        if (member.emptyFolderLeft) platform::RemoveDirectory(member.account.folder);
    return FinishBatch(members, files, terms, progress);
}
