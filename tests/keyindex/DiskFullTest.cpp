#include <gtest/gtest.h>

#ifdef _WIN32
TEST(DiskFull, NeedsAFileSizeLimit) { GTEST_SKIP() << "a full disk is made with fork and RLIMIT_FSIZE, which Windows does not have"; }
#else
// Removals on a disk that fills up: the key files stay exactly as they were.
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "dormix/keyindex/RemoveUserKeys.h"
#include "dormix/keyindex/UserKey.h"
#include "tests/keyindex/KeyFileWriter.h"
#include "tests/support/TempDir.h"

namespace {

// Runs RemoveUserKeys in a child process that may write no file beyond limit bytes; the exit
// status of the child.
int RemoveUnderFileSizeLimit(const std::string& install, const std::string& name, rlim_t limit) {
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
        const rlimit rl{limit, limit};
        if (setrlimit(RLIMIT_FSIZE, &rl) != 0) _exit(2);
        RemoveUserKeys(install, name);
        _exit(0);
    }
    int status = -1;
    waitpid(child, &status, 0);
    return status;
}

// USER.KEY and USERTIME.KEY with `count` users each, user i named "u" + number.
struct BigInstallation {
    TempDir dir;
    std::string userDir = dir.file("USER");
    std::string userKey = userDir + "/USER.KEY";
    std::string timeKey = userDir + "/USERTIME.KEY";

    BigInstallation(std::size_t userCount, std::size_t timeCount) {
        std::filesystem::create_directory(userDir);
        std::vector<TestRecord> users;
        std::vector<TestRecord> times;
        for (std::size_t i = 0; i < std::max(userCount, timeCount); ++i) {
            const std::string value = NumberedKey(i);
            if (i < userCount) users.push_back({keyindex::MakeUserKey(Name(i)), value});
            if (i < timeCount) times.push_back({value, Name(i)});
        }
        std::sort(users.begin(), users.end(), [](const TestRecord& a, const TestRecord& b) { return a.key < b.key; });
        WriteKeyFile(userKey, users);
        WriteKeyFile(timeKey, times);
    }
    static std::string Name(std::size_t i) { return "u" + std::to_string(1000 + i); }
};

}  // namespace

TEST(RemoveUserKeysDiskFull, LeavesBothFilesAsTheyWere) {
    // (users, time records, limit): both files above the limit, and a small USERTIME.KEY that
    // could be rewritten but must keep its record while USER.KEY keeps the user's.
    struct Case {
        std::size_t users, times;
        rlim_t limit;
    } cases[] = {{400, 400, 50000}, {400, 3, 50000}, {400, 400, 256}};
    for (const auto& c : cases) {
        BigInstallation inst(c.users, c.times);
        const std::string userBefore = ReadBytes(inst.userKey);
        const std::string timeBefore = ReadBytes(inst.timeKey);
        const int status = RemoveUnderFileSizeLimit(inst.dir.path().string(), BigInstallation::Name(1), c.limit);
        ASSERT_TRUE(WIFEXITED(status)) << status;
        ASSERT_EQ(WEXITSTATUS(status), 0);
        EXPECT_EQ(ReadBytes(inst.userKey), userBefore) << c.limit;
        EXPECT_EQ(ReadBytes(inst.timeKey), timeBefore) << c.limit;
        EXPECT_EQ(ListNames(inst.userDir), (std::vector<std::string>{"USER.KEY", "USERTIME.KEY"}));
    }
}

TEST(RemoveUserKeysDiskFull, SucceedsOnceTheLimitLeavesRoom) {
    BigInstallation inst(400, 400);
    const int status = RemoveUnderFileSizeLimit(inst.dir.path().string(), BigInstallation::Name(1), 400 * 256);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(ReadBytes(inst.userKey).size(), 399u * 256);
    EXPECT_EQ(ReadBytes(inst.timeKey).size(), 399u * 256);
}
#endif
