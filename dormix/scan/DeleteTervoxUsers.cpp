#include "dormix/scan/DeleteTervoxUsers.h"

#include <algorithm>
#include <cstdint>

#include "acctkit/acctkit.h"
#include "common/NextToken.h"
#include "dormix/scan/AcctkitBlock.h"
#include "platform/FileOps.h"

namespace {

const char* const kNotOpened = "the user database could not be opened";
const char* const kNotSelected = "the domain could not be selected";

enum class UserFate { Removed, Absent, Stays, Changed };

// True when the database holds the user (a null block says it does not); file, when given,
// receives the path of the user's file with the blanks around it removed.
bool HoldsUser(std::int32_t handle, const std::string& name, std::string* file) {
    std::int32_t count = 0;
    void* block = GetUsers(handle, 1, name.c_str(), &count);
    if (!block) return false;
    const bool held = BlockNamesUser(block);
    if (held && file) *file = TrimSpace(BlockUserFile(block));
    ReleaseAcctkitBlock(block);
    return held;
}

UserFate DeleteOneTervoxUser(std::int32_t handle, const std::string& name, const std::optional<TervoxRow>& expected) {
    std::string userFile;
    if (!HoldsUser(handle, name, &userFile)) return UserFate::Absent;
    // Only the user that was there when the account was judged: a user made anew under the name
    // belongs to someone else.
    if (expected && (!expected->held || expected->file != userFile)) return UserFate::Changed;
    // The path is the database's own: the file it names or none, never one found by letter case.
    if (!userFile.empty()) platform::DeleteFileAsWritten(userFile);
    DeleteUser(handle, name.c_str(), "root", 2);  // its result is not promised: the lookup tells
    return HoldsUser(handle, name, nullptr) ? UserFate::Stays : UserFate::Removed;
}

}  // namespace

TervoxDeletion DeleteTervoxUsers(const std::vector<std::string>& userNames,
                                 const std::vector<std::optional<TervoxRow>>& expected) {
    const auto allFailed = [&](const char* reason) {
        return TervoxDeletion{static_cast<int>(userNames.size()), reason, std::vector<bool>(userNames.size(), true),
                              std::vector<bool>(userNames.size(), false), std::vector<bool>(userNames.size(), false)};
    };
    TervoxDeletion result;
    result.userFailed.assign(userNames.size(), false);
    result.userAbsent.assign(userNames.size(), false);
    result.userChanged.assign(userNames.size(), false);
    const std::int32_t handle = OpenUserDatabase();
    if (handle == 0) return allFailed(kNotOpened);
    if (SelectDomainByID(handle, 0) == 0) {
        result = allFailed(kNotSelected);
    } else {
        for (std::size_t i = 0; i < userNames.size(); ++i) {
            const UserFate fate =
                DeleteOneTervoxUser(handle, userNames[i], i < expected.size() ? expected[i] : std::nullopt);
            result.userAbsent[i] = fate == UserFate::Absent;
            result.userChanged[i] = fate == UserFate::Changed;
            if (fate != UserFate::Stays) continue;
            result.userFailed[i] = true;
            if (result.failed++ == 0) result.reason = "the user database still holds the user after its deletion";
        }
    }
    CloseUserDatabase(handle);
    return result;
}

std::optional<std::vector<TervoxRow>> LookUpTervoxUsers(const std::vector<std::string>& userNames) {
    const std::int32_t handle = OpenUserDatabase();
    if (handle == 0) return std::nullopt;
    std::optional<std::vector<TervoxRow>> rows;
    if (SelectDomainByID(handle, 0) != 0) {
        rows.emplace(userNames.size());
        for (std::size_t i = 0; i < userNames.size(); ++i)
            (*rows)[i].held = HoldsUser(handle, userNames[i], &(*rows)[i].file);
    }
    CloseUserDatabase(handle);
    return rows;
}

std::string TervoxDatabaseProblem() {
    const std::int32_t handle = OpenUserDatabase();
    if (handle == 0) return kNotOpened;
    const bool selected = SelectDomainByID(handle, 0) != 0;
    CloseUserDatabase(handle);
    return selected ? std::string() : kNotSelected;
}

void TervoxFailures::add(const TervoxDeletion& deletion) {
    if (deletion.failed == 0) return;
    accounts_ += deletion.failed;
    if (std::find(reasons_.begin(), reasons_.end(), deletion.reason) == reasons_.end()) reasons_.push_back(deletion.reason);
}

std::string TervoxFailures::text() const {
    std::string reasons;
    for (const std::string& reason : reasons_) reasons += (reasons.empty() ? "" : "; ") + reason;
    return "The mail server's users of " + std::to_string(accounts_) + " account(s) could not be deleted: " + reasons;
}
