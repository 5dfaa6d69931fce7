#pragma once
// Removal of many users' key records with one read and one safe write of each key file.
#include <string>
#include <vector>

#include "dormix/keyindex/RemoveUserKeys.h"

namespace keyindex {

// Removes the records of every user in userNames from "USER.KEY" and then the records they point
// to from "USERTIME.KEY". Both files end exactly as RemoveUserKeys called for each name in turn
// would leave them; the result tells, name by name in the same order, what was removed.
std::vector<UserKeysRemoval> RemoveUserKeysBatch(const std::string& installPath,
                                                 const std::vector<std::string>& userNames);

}  // namespace keyindex
