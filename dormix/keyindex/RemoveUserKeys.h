#pragma once
#include <string>

// Removes the user's record from "USER.KEY" and then the record it points to from
// "USERTIME.KEY", both in the installation's user folder. Reports nothing to the user; true
// when both records were removed.
bool RemoveUserKeys(const std::string& installPath, const std::string& userName);
