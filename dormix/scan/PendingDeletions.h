#pragma once
// The deletions of the batch in hand, kept beside the log from the moment the first key record of
// the batch may go until the batch is finished. A scan that finds it at its start (the one
// before was ended in the middle of a batch) finishes that batch first, so that no key record,
// mail-server user or emptied folder is left that no later scan could find again.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "dormix/keyindex/KeyRecord.h"

enum class PendingStage {
    KeyRecords,  // the key records may be partly removed: remove them by name, else by value
    MailServer,  // the key records are gone: the mail-server users and the folders are left
};

struct PendingAccount {
    std::string folder;                                // an account folder of the user folder
    std::optional<std::time_t> lastLogon;              // for the record of the deletion
    std::optional<keyindex::KeyValue> userKeyValue;    // the value of its "USER.KEY" record
    bool keysRemoved = false;                          // both its key records went
};

struct PendingBatch {
    PendingStage stage = PendingStage::KeyRecords;
    bool withTervoxUsers = false;
    std::vector<PendingAccount> accounts;
    // The threshold that the batch's accounts were judged under; none in a file of the first
    // format, which did not record it.
    std::optional<std::int32_t> days;
};

// The file in the installation's "Log" folder.
std::string PendingDeletionsPath(const std::string& installPath);

// Writes the batch through the safe-write path, synced; false when it could not be.
bool WritePendingDeletions(const std::string& path, const PendingBatch& batch);

enum class PendingRead { None, Found, Unreadable };

// Reads the batch that path holds, in either format. Every folder must be one of the account
// folders that the pattern searches, and a threshold one that a scan takes; a file that is not
// exactly as written is Unreadable, and nothing in it is acted on.
PendingRead ReadPendingDeletions(const std::string& path, const std::string& userFolderPattern, PendingBatch& batch);

// "The unfinished deletions in %s cannot be read. Nothing was deleted."
std::string PendingUnreadableText(const std::string& path);
