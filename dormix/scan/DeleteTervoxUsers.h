#pragma once
#include <optional>
#include <string>
#include <vector>

// A user's row in the mail server's database as a later step expects to find it: held, with the
// user's file, or no such user.
struct TervoxRow {
    bool held = false;
    std::string file;
    bool operator==(const TervoxRow&) const = default;
};

// The mail-server users that could not be deleted, and why.
struct TervoxDeletion {
    int failed = 0;      // names whose user may still be in the database
    std::string reason;  // the first reason, in the user's words
    std::vector<bool> userFailed;  // for each name in the order given: its user may still be there
    std::vector<bool> userAbsent;  // for each name: the database held no such user
    std::vector<bool> userChanged;  // for each name: its row was not the one expected, so it was kept

    bool failedFor(std::size_t index) const { return index < userFailed.size() && userFailed[index]; }
    bool absentFor(std::size_t index) const { return index < userAbsent.size() && userAbsent[index]; }
    bool changedFor(std::size_t index) const { return index < userChanged.size() && userChanged[index]; }
};

// Removes each named user from the mail server's user database (domain 0) together with the
// user's file, through Acctkit. A user that does not exist there (GetUsers gives null or says
// so) is absent, no failure. What DeleteUser returns is not promised: a user counts as failed
// only when the database could not be opened, the domain not selected, or GetUsers still finds
// the user after DeleteUser.
// expected, when given, holds for each name the row it may be deleted from; a user whose row is
// another (another file, or a user made where none was) is kept and counted as changed. A name
// with no expected row is deleted as it stands.
TervoxDeletion DeleteTervoxUsers(const std::vector<std::string>& userNames,
                                 const std::vector<std::optional<TervoxRow>>& expected = {});

// The rows the database holds now for the names; none when it cannot be opened or its domain not
// selected.
std::optional<std::vector<TervoxRow>> LookUpTervoxUsers(const std::vector<std::string>& userNames);

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
