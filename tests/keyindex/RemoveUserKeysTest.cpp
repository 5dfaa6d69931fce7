#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dormix/keyindex/RemoveUserKeys.h"
#include "dormix/keyindex/UserKey.h"
#include "tests/keyindex/KeyFileWriter.h"
#include "tests/support/TempDir.h"

using keyindex::MakeUserKey;

namespace {

// An installation whose user folder holds both key files for the users ann, bob and carl.
struct Installation {
    TempDir dir;
    std::string userDir;
    std::string userKey;
    std::string userTimeKey;
    std::vector<TestRecord> users;
    std::vector<TestRecord> times;

    explicit Installation(const std::string& folder = "USER", const std::string& userFile = "USER.KEY",
                          const std::string& timeFile = "USERTIME.KEY") {
        userDir = dir.file(folder);
        std::filesystem::create_directory(userDir);
        userKey = userDir + "/" + userFile;
        userTimeKey = userDir + "/" + timeFile;
        // Keys in the order of their hexadecimal form: ann 616E6E, bob 626F62, carl 6361726C.
        users = {{MakeUserKey("ann"), "T20240105-ann"},
                 {MakeUserKey("bob"), "T20230301-bob"},
                 {MakeUserKey("carl"), "T20240720-carl"}};
        times = {{"T20230301-bob", "bob"}, {"T20240105-ann", "ann"}, {"T20240720-carl", "carl"}};
        WriteKeyFile(userKey, users);
        WriteKeyFile(userTimeKey, times);
    }
    std::string install() const { return dir.path().string(); }
};

}  // namespace

TEST(RemoveUserKeys, RemovesTheUsersRecordFromBothFiles) {
    struct Case {
        std::string name;
        std::size_t userIndex;
        std::size_t timeIndex;
    } cases[] = {{"Bob", 1, 0}, {"ANN", 0, 1}, {"carl", 2, 2}};
    for (const auto& c : cases) {
        Installation inst;
        RemoveUserKeys(inst.install(), c.name);
        EXPECT_EQ(ReadBytes(inst.userKey), KeyFileBytes(Without(inst.users, c.userIndex))) << c.name;
        EXPECT_EQ(ReadBytes(inst.userTimeKey), KeyFileBytes(Without(inst.times, c.timeIndex))) << c.name;
        EXPECT_EQ(ListNames(inst.userDir), (std::vector<std::string>{"USER.KEY", "USERTIME.KEY"}));
    }
}

TEST(RemoveUserKeys, FindsTheFolderAndFilesWithoutRegardToCase) {
    Installation inst("user", "user.key", "UserTime.Key");
    RemoveUserKeys(inst.install(), "bob");
    EXPECT_EQ(ReadBytes(inst.userKey), KeyFileBytes(Without(inst.users, 1)));
    EXPECT_EQ(ReadBytes(inst.userTimeKey), KeyFileBytes(Without(inst.times, 0)));
    EXPECT_EQ(ListNames(inst.userDir), (std::vector<std::string>{"UserTime.Key", "user.key"}));
}

TEST(RemoveUserKeys, StopsQuietlyWhereAFileOrRecordIsMissing) {
    // Each case breaks the installation, then removes bob; the expected files follow.
    struct Case {
        const char* what;
        void (*breakIt)(Installation&);
        bool userKeyLosesBob;
        bool userTimeLosesBob;
    } cases[] = {
        {"USER.KEY missing", [](Installation& i) { std::filesystem::remove(i.userKey); }, false, false},
        {"bob not in USER.KEY",
         [](Installation& i) { WriteKeyFile(i.userKey, Without(i.users, 1)); }, false, false},
        {"USERTIME.KEY missing", [](Installation& i) { std::filesystem::remove(i.userTimeKey); }, true, false},
        {"bob's time record missing",
         [](Installation& i) { WriteKeyFile(i.userTimeKey, Without(i.times, 0)); }, true, false},
        {"nothing broken", [](Installation&) {}, true, true},
    };
    for (const auto& c : cases) {
        Installation inst;
        c.breakIt(inst);
        const bool hadUserKey = Exists(inst.userKey);
        const bool hadTimeKey = Exists(inst.userTimeKey);
        const std::string userBefore = ReadBytes(inst.userKey);
        const std::string timeBefore = ReadBytes(inst.userTimeKey);
        RemoveUserKeys(inst.install(), "bob");
        EXPECT_EQ(Exists(inst.userKey), hadUserKey) << c.what;
        EXPECT_EQ(Exists(inst.userTimeKey), hadTimeKey) << c.what;
        EXPECT_EQ(ReadBytes(inst.userKey), c.userKeyLosesBob ? KeyFileBytes(Without(inst.users, 1)) : userBefore)
            << c.what;
        EXPECT_EQ(ReadBytes(inst.userTimeKey), c.userTimeLosesBob ? KeyFileBytes(Without(inst.times, 0)) : timeBefore)
            << c.what;
    }
}

TEST(RemoveUserKeys, TheSoleRecordsOfBothFilesDeleteTheFiles) {
    Installation inst;
    WriteKeyFile(inst.userKey, {inst.users[0]});
    WriteKeyFile(inst.userTimeKey, {inst.times[1]});
    RemoveUserKeys(inst.install(), "Ann");
    EXPECT_TRUE(Exists(inst.userDir));
    EXPECT_TRUE(ListNames(inst.userDir).empty());
}

TEST(RemoveUserKeys, KeepsTheTimeRecordWhileTheUserRecordStays) {
    // One record and a short tail: the removal leaves "USER.KEY" as it is, and so the record
    // that it still points to stays in "USERTIME.KEY".
    Installation inst;
    WriteKeyFile(inst.userKey, {inst.users[1]}, "short tail");
    const std::string userBefore = ReadBytes(inst.userKey);
    RemoveUserKeys(inst.install(), "bob");
    EXPECT_EQ(ReadBytes(inst.userKey), userBefore);
    EXPECT_EQ(ReadBytes(inst.userTimeKey), KeyFileBytes(inst.times));
}
