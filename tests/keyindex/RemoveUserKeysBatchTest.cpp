// The batch removal leaves both key files byte for byte as the removal one user at a time does,
// over random installations, and tells the same per user.
#include <filesystem>
#include <random>

#include <gtest/gtest.h>
#include <unistd.h>

#include "dormix/keyindex/RemoveUserKeysBatch.h"
#include "dormix/keyindex/UserKey.h"
#include "platform/FaultInjection.h"
#include "tests/keyindex/BatchDifferential.h"
#include "tests/keyindex/KeyFileWriter.h"
#include "tests/support/TempDir.h"

using namespace keyindex;

TEST(RemoveUserKeysBatch, AgreesWithTheRemovalOneUserAtATime) {
    // In memory where the system offers it: the reference syncs every one of its many rewrites.
    const bool shm = ::access("/dev/shm", W_OK) == 0;
    const ScopedEnv tmp("TMPDIR", shm ? "/dev/shm" : std::filesystem::temp_directory_path().string());
    TempDir dir;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 random(seed);
        const auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
        const BatchCase c = MakeBatchCase(pick);
        EXPECT_EQ(CompareBatchWithOneAtATime(dir.path().string(), c), "") << "seed " << seed;
    }
}

TEST(RemoveUserKeysBatch, RedoesThePassWhenAWriterChangesAFileAndGivesUpWhenItKeepsChanging) {
    for (const int writes : {1, 10}) {
        TempDir dir;
        const std::string userDir = dir.file("USER");
        std::filesystem::create_directory(userDir);
        const std::vector<TestRecord> grown = {
            {MakeUserKey("ann"), "T1"}, {MakeUserKey("bob"), "T2"}, {MakeUserKey("cleo"), "T3"}};
        const std::vector<TestRecord> times = {{"T1", "ann"}, {"T2", "bob"}, {"T3", "cleo"}};
        WriteKeyFile(userDir + "/USER.KEY", Without(grown, 2));
        WriteKeyFile(userDir + "/USERTIME.KEY", times);
        // The web-mail product writes "USER.KEY" just before each of the next `writes` replacements.
        platform::fault::BeforeReplace([&] { WriteKeyFile(userDir + "/USER.KEY", grown); }, writes);

        const auto removals = RemoveUserKeysBatch(dir.path().string(), {"cleo", "ann"});
        platform::fault::Reset();

        const bool gaveUp = writes > kMaxRedos;
        EXPECT_EQ(ReadBytes(userDir + "/USER.KEY"), KeyFileBytes(gaveUp ? grown : Without(Without(grown, 2), 0)));
        EXPECT_EQ(ReadBytes(userDir + "/USERTIME.KEY"), KeyFileBytes(gaveUp ? times : Without(Without(times, 2), 0)));
        ASSERT_EQ(removals.size(), 2u);
        for (const auto& removal : removals) {
            EXPECT_EQ(removal.userRecordRemoved(), !gaveUp);
            EXPECT_EQ(removal.timeRecordRemoved(), !gaveUp);
            EXPECT_EQ(removal.fileKeptChanging(), gaveUp);
        }
    }
}
