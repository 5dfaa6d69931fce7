#pragma once
#include <optional>
#include <string>

#include "dormix/keyindex/KeyRecord.h"

// The user name of an account folder: its own whole name as the folder listing gives it (after
// the last separator of this system; one trailing separator is dropped first) decoded from
// hexadecimal. A backslash is an ordinary character of a name here and splits nothing.
std::string FolderUserName(const std::string& folderPath);

// True when the folder's own name spells a user name plainly: pairs of hexadecimal digits, none of
// them 00. Only such a folder is matched to a user's key records and mail-server user.
bool NamesAUser(const std::string& folderPath);

// Why a user name that an earlier step judged is someone's again, for a later step that acts on
// it: an account folder at folder (in any letter case; empty: none asked about), or a "USER.KEY"
// record of the name, userRecord, other than the account's own (ownValue: the value its record
// had; none: it has no record left). Empty when the name is still only the judged account's.
std::string NameInUseAgain(const std::string& folder, const std::optional<keyindex::KeyRecordBytes>& userRecord,
                           const std::optional<keyindex::KeyValue>& ownValue = std::nullopt);
