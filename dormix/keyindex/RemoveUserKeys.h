#pragma once
#include <string>

enum class UserKeysRemoval {
    Removed,      // both records are gone
    NotRemoved,   // a file or a record was missing or could not be read or replaced
    KeptChanging, // a key file changed under every attempt; its record may still be there
};

// Removes the user's record from "USER.KEY" and then the record it points to from
// "USERTIME.KEY", both in the installation's user folder (the folder the scan searches for
// accounts, with the spelling it has on disk).
UserKeysRemoval RemoveUserKeys(const std::string& installPath, const std::string& userName);
