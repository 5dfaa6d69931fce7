#pragma once
// Accounts that nobody logs on to on purpose (postmaster, abuse, service mailboxes) and that
// are never deleted: key "PROTECT" of section "DORMIX" in "VELTA.INI", user names separated
// by commas, matched without regard to case, blanks around them ignored.
#include <string>
#include <vector>

struct ProtectedAccounts {
    std::vector<std::string> names;
    // The value filled all the bytes a profile value can hold, so names may be lost past the
    // cut. Nothing may be deleted then: any account could be one of the lost names.
    bool cut = false;

    bool covers(const std::string& userName) const;
};

// The refusal shown when the list may have been cut.
extern const char* const kProtectListTooLong;

ProtectedAccounts ParseProtectedAccounts(const std::string& value);

// The list that "VELTA.INI" holds; empty when it holds none.
ProtectedAccounts ReadProtectedAccounts();
