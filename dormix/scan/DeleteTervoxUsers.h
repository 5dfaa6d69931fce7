#pragma once
#include <string>
#include <vector>

// Removes each named user from the mail server's user database (domain 0) together with the
// user's file, through Acctkit. Every failure is silent. Always true.
bool DeleteTervoxUsers(const std::vector<std::string>& userNames);
