#pragma once
#include <string>
#include <vector>

// The mail-server users that could not be deleted, and why.
struct TervoxDeletion {
    int failed = 0;      // names whose user may still be in the database
    std::string reason;  // the first reason, in the user's words
    std::vector<bool> userFailed;  // for each name in the order given: its user may still be there
    std::vector<bool> userAbsent;  // for each name: the database held no such user

    bool failedFor(std::size_t index) const { return index < userFailed.size() && userFailed[index]; }
    bool absentFor(std::size_t index) const { return index < userAbsent.size() && userAbsent[index]; }
};

// Removes each named user from the mail server's user database (domain 0) together with the
// user's file, through Acctkit. A user that does not exist there (GetUsers gives null or says
// so) is absent, no failure. What DeleteUser returns is not promised: a user counts as failed
// only when the database could not be opened, the domain not selected, or GetUsers still finds
// the user after DeleteUser.
TervoxDeletion DeleteTervoxUsers(const std::vector<std::string>& userNames);

// Opens the user database and selects its domain, as a deletion would, and closes it again:
// empty when both worked, else why not.
std::string TervoxDatabaseProblem();

// Failures collected over a scan: one box after the summary says how many accounts kept their
// mail-server user and why.
class TervoxFailures {
public:
    void add(const TervoxDeletion& deletion);
    bool any() const { return accounts_ > 0; }
    int accounts() const { return accounts_; }
    // "The mail server's users of N account(s) could not be deleted: <reasons>"
    std::string text() const;

private:
    int accounts_ = 0;
    std::vector<std::string> reasons_;  // distinct, in the order met
};
