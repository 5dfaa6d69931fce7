#pragma once
// What a deleting run will need, checked by a dry run without changing anything on disk: the
// files of the Log folder are no links and can be written, the unfinished deletions can be read, the account folder
// and key files can be told apart, and (with the mail-server users) the user database opens and
// its domain can be selected; a grace period, when set, can be read, and its quarantine can take the
// account folders by a rename.
#include <string>
#include <vector>

#include "dormix/scan/DormixPaths.h"

// Each problem in the words the deleting run would use; empty when there is none.
std::vector<std::string> DeletionPreflight(const DormixPaths& paths, bool withTervoxUsers);
