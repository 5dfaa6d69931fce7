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

namespace {

// Three users in "USERTIME.KEY"; "USER.KEY" without cleo, whom the web-mail product adds.
const std::vector<TestRecord> kGrown = {{MakeUserKey("ann"), "T1"}, {MakeUserKey("bob"), "T2"}, {MakeUserKey("cleo"), "T3"}};
const std::vector<TestRecord> kTimes = {{"T1", "ann"}, {"T2", "bob"}, {"T3", "cleo"}};

std::string WriteUserFolder(const TempDir& dir) {
    const std::string userDir = dir.file("USER");
    std::filesystem::create_directory(userDir);
    WriteKeyFile(userDir + "/USER.KEY", Without(kGrown, 2));
    WriteKeyFile(userDir + "/USERTIME.KEY", kTimes);
    return userDir;
}

}  // namespace

TEST(RemoveUserKeysBatch, RedoesThePassWhenAWriterChangesAFileAndGivesUpWhenItKeepsChanging) {
    for (const int writes : {1, 10}) {
        TempDir dir;
        const std::string userDir = WriteUserFolder(dir);
        // The web-mail product writes "USER.KEY" just before each of the next `writes` replacements.
        platform::fault::BeforeReplace([&] { WriteKeyFile(userDir + "/USER.KEY", kGrown); }, writes);

        const auto removals = RemoveUserKeysBatch(dir.path().string(), {"cleo", "ann"});
        platform::fault::Reset();

        const bool gaveUp = writes > kMaxRedos;
        EXPECT_EQ(ReadBytes(userDir + "/USER.KEY"), KeyFileBytes(gaveUp ? kGrown : Without(Without(kGrown, 2), 0)));
        EXPECT_EQ(ReadBytes(userDir + "/USERTIME.KEY"), KeyFileBytes(gaveUp ? kTimes : Without(Without(kTimes, 2), 0)));
        ASSERT_EQ(removals.size(), 2u);
        for (const auto& removal : removals) {
            EXPECT_EQ(removal.userRecordRemoved(), !gaveUp);
            EXPECT_EQ(removal.timeRecordRemoved(), !gaveUp);
            EXPECT_EQ(removal.fileKeptChanging(), gaveUp);
        }
    }
}

// The caller records what "USER.KEY" is about to lose with that file closed: meanwhile the
// web-mail product can write it (on Windows an open key file shuts writers out), and the pass is
// redone on what it wrote.
TEST(RemoveUserKeysBatch, TheKeyFileIsWritableWhileTheCallerIsAskedAndItsChangeIsSeen) {
    TempDir dir;
    const std::string userDir = WriteUserFolder(dir);
    int asked = 0;
    BatchJournal journal;
    journal.beforeUserFileReplaced = [&](const std::vector<KeyRemoval>&) {
        if (asked++ == 0) WriteKeyFile(userDir + "/USER.KEY", kGrown);
        return true;
    };

    const auto removals = RemoveUserKeysBatch(dir.path().string(), {"cleo", "ann"}, journal);

    EXPECT_EQ(asked, 2);
    EXPECT_EQ(ReadBytes(userDir + "/USER.KEY"), KeyFileBytes(Without(Without(kGrown, 2), 0)));
    EXPECT_EQ(ReadBytes(userDir + "/USERTIME.KEY"), KeyFileBytes(Without(Without(kTimes, 2), 0)));
    ASSERT_EQ(removals.size(), 2u);
    for (const auto& removal : removals) EXPECT_TRUE(removal.timeRecordRemoved());
}

// On every path the journal hears what "USER.KEY" will lose while both files are whole; a journal
// that cannot write it down leaves both files byte for byte as they were.
TEST(RemoveUserKeysBatch, TheJournalIsToldBeforeAnyRecordGoesOnEveryPath) {
    enum class Path { InMemory, TooLargeToHold, OneFileUnderTwoNames };
    for (const Path path : {Path::InMemory, Path::TooLargeToHold, Path::OneFileUnderTwoNames})
        for (const bool journalWrites : {true, false}) {
#ifdef _WIN32
            if (path == Path::OneFileUnderTwoNames) continue;  // no hard links under Wine
#endif
            TempDir dir;
            const std::string userKey = WriteUserFolder(dir) + "/USER.KEY", timeKey = dir.file("USER/USERTIME.KEY");
            std::vector<TestRecord> both = kGrown;
            both.insert(both.end(), kTimes.begin(), kTimes.end());
            WriteKeyFile(userKey, path == Path::OneFileUnderTwoNames ? both : kGrown);
            if (path == Path::OneFileUnderTwoNames) {
                std::filesystem::remove(timeKey);
                std::filesystem::create_hard_link(userKey, timeKey);
            }
            SetMaxBatchFileBytesForTests(path == Path::TooLargeToHold ? kRecordSize : 0);
            const std::string userBefore = ReadBytes(userKey), timeBefore = ReadBytes(timeKey);
            std::vector<std::string> told;
            BatchJournal journal;
            journal.beforeUserFileReplaced = [&](const std::vector<KeyRemoval>& planned) {
                EXPECT_TRUE(ReadBytes(userKey) == userBefore && ReadBytes(timeKey) == timeBefore);
                for (const KeyRemoval& removal : planned) told.push_back(removal.found ? removal.value.data() : "-");
                return journalWrites;
            };
            RemoveUserKeysBatch(dir.path().string(), {"cleo", "ann"}, journal);
            SetMaxBatchFileBytesForTests(0);
            EXPECT_EQ(told, (std::vector<std::string>{"T3", "T1"})) << static_cast<int>(path);
            if (journalWrites && path == Path::OneFileUnderTwoNames) continue;  // two files after the first rename
            EXPECT_EQ(ReadBytes(userKey), journalWrites ? KeyFileBytes({kGrown[1]}) : userBefore);
            EXPECT_EQ(ReadBytes(timeKey), journalWrites ? KeyFileBytes({kTimes[1]}) : timeBefore);
        }
}
