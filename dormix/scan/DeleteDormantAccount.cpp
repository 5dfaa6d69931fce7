#include "dormix/scan/DeleteDormantAccount.h"

#include "dormix/keyindex/RemoveUserKeysBatch.h"
#include "dormix/scan/AuditLog.h"
#include "dormix/scan/FolderUserName.h"
#include "platform/FileOps.h"
#include "platform/FolderRemoval.h"

namespace {

bool NamedUser(const BatchMember& member) { return member.inHand && NamesAUser(member.account.folder); }

PendingBatch Pending(const std::vector<BatchMember>& members, PendingStage stage, bool withTervoxUsers) {
    PendingBatch batch{stage, withTervoxUsers, {}};
    for (const BatchMember& member : members) {
        if (member.inHand)
            batch.accounts.push_back(
                {member.account.folder, member.account.lastLogon, member.userKeyValue, member.deleted.keysRemoved});
    }
    return batch;
}

// "user.ini" stays: while it is there, the account is still found as the same dormant one.
void EmptyFolders(std::vector<BatchMember>& members, ScanProgress* progress, int number, int count) {
    for (BatchMember& member : members) {
        if (progress) progress->deleting(number++, count, member.account.userName);
        platform::FolderRemoval folder(member.account.folder);
        member.inHand = folder.removeAllBut("user.ini");
    }
}

// The key records of the batch, one pass over each key file. The pending deletions are written
// with the "USER.KEY" values before that file is replaced, so that a kill between the two files
// leaves the "USERTIME.KEY" records to be found by value. False when they could not be written.
bool RemoveKeyRecords(std::vector<BatchMember>& members, const BatchFiles& files, bool withTervoxUsers) {
    std::vector<BatchMember*> named;
    std::vector<std::string> names;
    keyindex::BatchJournal journal;
    for (BatchMember& member : members) {
        if (!NamedUser(member)) continue;
        named.push_back(&member);
        names.push_back(member.account.userName);
        journal.knownTimeKeys.push_back(member.userKeyValue);
    }
    bool written = true;
    journal.beforeUserFileReplaced = [&](const std::vector<keyindex::KeyRemoval>& planned) {
        for (std::size_t i = 0; i < planned.size(); ++i)
            if (planned[i].found) named[i]->userKeyValue = planned[i].value;
        written = WritePendingDeletions(files.pendingPath, Pending(members, PendingStage::KeyRecords, withTervoxUsers));
        return written;
    };
    const std::vector<keyindex::UserKeysRemoval> removals = keyindex::RemoveUserKeysBatch(files.installPath, names, journal);
    if (!written) return false;
    for (std::size_t i = 0; i < named.size(); ++i) {
        if (removals[i].fileKeptChanging()) {
            named[i]->deleted.logReason = LogReason::KeysKeptChanging;
            named[i]->inHand = false;
            continue;
        }
        named[i]->deleted.keysRemoved = named[i]->deleted.keysRemoved || removals[i].timeRecordRemoved();
    }
    return true;
}

TervoxDeletion RemoveTervoxUsers(std::vector<BatchMember>& members) {
    std::vector<BatchMember*> named;
    std::vector<std::string> names;
    for (BatchMember& member : members) {
        if (!NamedUser(member)) continue;
        named.push_back(&member);
        names.push_back(member.account.userName);
    }
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
        member.deleted.deleted = platform::RemoveFolderTree(member.account.folder);
        if (progress) progress->finished(member.account, member.deleted);
    }
    return true;
}

// From the mail-server users on, the same for a new batch and for one left pending.
BatchResult FinishBatch(std::vector<BatchMember>& members, const BatchFiles& files, bool withTervoxUsers,
                        ScanProgress* progress) {
    BatchResult result;
    if (!WritePendingDeletions(files.pendingPath, Pending(members, PendingStage::MailServer, withTervoxUsers))) {
        result.end = BatchEnd::PendingFailed;
        return result;
    }
    if (withTervoxUsers) result.tervox = RemoveTervoxUsers(members);
    if (!FinishFolders(members, files, progress)) {
        result.end = BatchEnd::AuditFailed;
        return result;
    }
    platform::DeleteFile(files.pendingPath);
    return result;
}

}  // namespace

BatchResult DeleteDormantBatch(std::vector<BatchMember>& members, const BatchFiles& files, bool withTervoxUsers,
                               ScanProgress* progress, int number, int count) {
    EmptyFolders(members, progress, number, count);
    if (!RemoveKeyRecords(members, files, withTervoxUsers)) return {BatchEnd::PendingFailed, {}};
    return FinishBatch(members, files, withTervoxUsers, progress);
}

BatchResult FinishPendingBatch(const PendingBatch& pending, std::vector<BatchMember>& members, const BatchFiles& files,
                               ScanProgress* progress) {
    members.clear();
    for (const PendingAccount& account : pending.accounts) {
        BatchMember member;
        member.account.folder = account.folder;
        member.account.userName = FolderUserName(account.folder);
        member.account.lastLogon = account.lastLogon;
        member.userKeyValue = account.userKeyValue;
        member.deleted.keysRemoved = account.keysRemoved;
        members.push_back(std::move(member));
    }
    if (pending.stage == PendingStage::KeyRecords && !RemoveKeyRecords(members, files, pending.withTervoxUsers)) {
        return {BatchEnd::PendingFailed, {}};
    }
    return FinishBatch(members, files, pending.withTervoxUsers, progress);
}
