#include "dormix/scan/DeleteTervoxUsers.h"

#include <cstdint>

#include "acctkit/acctkit.h"
#include "common/NextToken.h"
#include "dormix/scan/AcctkitBlock.h"
#include "platform/FileOps.h"

namespace {

void DeleteOneTervoxUser(std::int32_t handle, const std::string& name) {
    std::int32_t count = 0;
    void* block = GetUsers(handle, 1, name.c_str(), &count);
    if (!block) return;
    if (BlockNamesUser(block)) {
        const std::string userFile = TrimSpace(BlockUserFile(block));
        if (!userFile.empty()) platform::DeleteFile(userFile);
        DeleteUser(handle, name.c_str(), "root", 2);
    }
    ReleaseAcctkitBlock(block);
}

}  // namespace

bool DeleteTervoxUsers(const std::vector<std::string>& userNames) {
    const std::int32_t handle = OpenUserDatabase();
    if (handle == 0) return true;
    if (SelectDomainByID(handle, 0) != 0) {
        for (const std::string& name : userNames) DeleteOneTervoxUser(handle, name);
    }
    CloseUserDatabase(handle);
    return true;
}
