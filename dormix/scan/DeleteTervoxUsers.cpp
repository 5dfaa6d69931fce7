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

// Empty when the user is gone (or was never there), else why not.
std::string DeleteOneTervoxUser(std::int32_t handle, const std::string& name) {
    std::int32_t count = 0;
    void* block = GetUsers(handle, 1, name.c_str(), &count);
    if (!block) return "the user database could not be read";
    std::string failure;
    if (BlockNamesUser(block)) {
        const std::string userFile = TrimSpace(BlockUserFile(block));
        if (!userFile.empty()) platform::DeleteFile(userFile);
        if (DeleteUser(handle, name.c_str(), "root", 2) == 0) failure = "the user database refused the deletion";
    }
    ReleaseAcctkitBlock(block);
    return failure;
}

}  // namespace

TervoxDeletion DeleteTervoxUsers(const std::vector<std::string>& userNames) {
    const auto allFailed = [&](const char* reason) {
        return TervoxDeletion{static_cast<int>(userNames.size()), reason, std::vector<bool>(userNames.size(), true)};
    };
    TervoxDeletion result;
    result.userFailed.assign(userNames.size(), false);
    const std::int32_t handle = OpenUserDatabase();
    if (handle == 0) return allFailed(kNotOpened);
    if (SelectDomainByID(handle, 0) == 0) {
        result = allFailed(kNotSelected);
    } else {
        for (std::size_t i = 0; i < userNames.size(); ++i) {
            const std::string failure = DeleteOneTervoxUser(handle, userNames[i]);
            if (failure.empty()) continue;
            result.userFailed[i] = true;
            if (result.failed++ == 0) result.reason = failure;
        }
    }
    CloseUserDatabase(handle);
    return result;
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
