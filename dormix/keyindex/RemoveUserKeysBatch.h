#pragma once
// Removal of many users' key records with one read and one safe write of each key file.
#include <optional>
#include <string>
#include <vector>

#include "dormix/keyindex/RemoveKeysFromFile.h"
#include "dormix/keyindex/RemoveUserKeys.h"

namespace keyindex {

// What a caller keeps of a removal so that one ended half-way can be finished.
struct BatchJournal {
    // For each name, the "USERTIME.KEY" key to remove when "USER.KEY" no longer holds the user's
    // record (it went before the removal was ended).
    std::vector<std::optional<KeyValue>> knownTimeKeys;
    // Told what "USER.KEY" is about to lose before any of it goes, on every path; when it answers
    // false, neither file changes.
    BeforeReplace beforeUserFileReplaced;
};

// Removes the records of every user in userNames from "USER.KEY" and then the records they point
// to from "USERTIME.KEY". Without a journal both files end exactly as RemoveUserKeys called for
// each name in turn would leave them; the result tells, name by name in the same order, what was
// removed.
std::vector<UserKeysRemoval> RemoveUserKeysBatch(const std::string& installPath, const std::vector<std::string>& userNames,
                                                 const BatchJournal& journal = {});

}  // namespace keyindex
