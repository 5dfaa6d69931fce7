// Records put back into the key files go to their sorted place: removing users' records and
// inserting them again gives the files back byte for byte; a key found again is refused.
#include <algorithm>
#include <filesystem>
#include <random>

#include <gtest/gtest.h>
#include <unistd.h>

#include "dormix/keyindex/InsertKeyRecord.h"
#include "dormix/keyindex/RemoveUserKeys.h"
#include "dormix/keyindex/UserKey.h"
#include "platform/FaultInjection.h"
#include "tests/keyindex/BatchDifferential.h"
#include "tests/keyindex/KeyFileWriter.h"
#include "tests/support/TempDir.h"

using namespace keyindex;

namespace {

// The file as the web-mail product keeps it: whole records, sorted, each key once.
std::optional<std::string> SortedUnique(const std::optional<std::string>& bytes) {
    if (!bytes) return bytes;
    std::vector<std::string> records;
    for (std::size_t at = 0; at + kRecordSize <= bytes->size(); at += kRecordSize) records.push_back(bytes->substr(at, kRecordSize));
    std::sort(records.begin(), records.end());
    const auto sameKey = [](const std::string& a, const std::string& b) { return a.compare(0, kKeySize, b, 0, kKeySize) == 0; };
    records.erase(std::unique(records.begin(), records.end(), sameKey), records.end());
    std::string out;
    for (const auto& r : records) out += r;
    return out;
}

KeyRecordBytes Record(const TestRecord& r) { return RecordBytesAt(RecordBytes(r).data()); }

std::string Snapshot(const std::string& userDir) {
    std::string s;
    for (const char* f : {"/USER.KEY", "/USERTIME.KEY"}) s += Exists(userDir + f) ? ReadBytes(userDir + f) + "|" : "-|";
    return s;
}

}  // namespace

TEST(InsertKeyRecord, PuttingBackRemovedRecordsGivesTheFilesBackByteForByte) {
    // In memory where the system offers it: every insertion and removal syncs its file.
    const bool shm = ::access("/dev/shm", W_OK) == 0;
    const ScopedEnv tmp("TMPDIR", shm ? "/dev/shm" : std::filesystem::temp_directory_path().string());
    TempDir dir;
    int restored = 0;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::mt19937 random(seed);
        const auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
        BatchCase c = MakeBatchCase(pick);
        c.timeLinksToUser = false;
        c.userKey = SortedUnique(c.userKey);
        c.userTimeKey = SortedUnique(c.userTimeKey);
        const std::string install = InstallBatchCase(dir.path().string(), "site", c);
        const std::string userDir = install + "/USER";
        const std::string original = Snapshot(userDir);

        std::vector<UserKeysRemoval> removed;
        for (const auto& name : c.names) removed.push_back(RemoveUserKeysOf(install, name));
        std::shuffle(removed.begin(), removed.end(), random);
        for (const UserKeysRemoval& r : removed) {
            if (r.userRecordRemoved() && r.timeRecordRemoved()) {
                EXPECT_TRUE(InsertUserKeys(install, r.user.record, r.time.record).done()) << "seed " << seed;
            } else if (r.userRecordRemoved()) {  // its time record went with another user's
                EXPECT_EQ(InsertKeyRecord(userDir + "/USER.KEY", r.user.record), InsertionResult::Inserted) << "seed " << seed;
            }
            restored += r.userRecordRemoved();
        }
        ASSERT_EQ(Snapshot(userDir), original) << "seed " << seed;
    }
    EXPECT_GT(restored, 500);
}

TEST(InsertKeyRecord, RefusalsAndFailuresLeaveBothFilesAsTheyWere) {
    const std::vector<TestRecord> users = {{MakeUserKey("ann"), "T1"}, {MakeUserKey("cleo"), "T3"}};
    const std::vector<TestRecord> times = {{"T1", "ann"}, {"T3", "cleo"}};
    const TestRecord bob{MakeUserKey("bob"), "T2"};
    const TestRecord bobTime{"T2", "bob"};
    struct Case {
        const char* what;
        std::function<void(const std::string& userDir)> arrange;
        bool userFails;  // the expected result of the "USER.KEY" insertion is a failure, not a refusal
    };
    const std::vector<Case> cases = {
        {"the user's key is there again", [&](const std::string& d) { WriteKeyFile(d + "/USER.KEY", {users[0], bob, users[1]}); }, false},
        {"the time key is there again", [&](const std::string& d) { WriteKeyFile(d + "/USERTIME.KEY", {times[0], {"T2", "new"}, times[1]}); }, false},
        {"USER.KEY cannot be replaced", [&](const std::string&) { platform::fault::FailAt(platform::fault::Step::Rename, 2); }, true},
        {"USER.KEY keeps changing", [&](const std::string& d) {
             // Before every replacement, USERTIME.KEY's included: that one goes through, USER.KEY's never.
             platform::fault::BeforeReplace([d] { WriteBytes(d + "/USER.KEY", ReadBytes(d + "/USER.KEY")); }, 99);
         }, true},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string userDir = dir.file("USER");
        std::filesystem::create_directory(userDir);
        WriteKeyFile(userDir + "/USER.KEY", users);
        WriteKeyFile(userDir + "/USERTIME.KEY", times);
        c.arrange(userDir);
        const std::string before = Snapshot(userDir);
        const UserKeysInsertion got = InsertUserKeys(dir.path().string(), Record(bob), Record(bobTime));
        platform::fault::Reset();
        EXPECT_FALSE(got.done()) << c.what;
        EXPECT_EQ(got.user != InsertionResult::KeyExists && got.time != InsertionResult::KeyExists, c.userFails) << c.what;
        EXPECT_EQ(Snapshot(userDir), before) << c.what;
        EXPECT_EQ(ListNames(userDir), (std::vector<std::string>{"USER.KEY", "USERTIME.KEY"})) << c.what;
    }
}

// A record goes to its sorted place among whole records: bytes after the last whole record are
// never carried past it, and a key the file holds already is never written a second time.
TEST(InsertKeyRecord, AShortTailStaysBehindAndAKeyGoesInOnce) {
    const TestRecord ann{"ann", "1"}, bob{"bob", "2"}, cleo{"cleo", "3"}, dan{"dan", "4"};
    const std::string tail(100, 'x');
    struct Case {
        const char* what;
        std::string file;
        TestRecord inserted;
        InsertionResult result;
        std::string after;
    };
    const std::vector<Case> cases = {
        {"between records, a tail behind", KeyFileBytes({ann, cleo}, tail), bob, InsertionResult::Inserted, KeyFileBytes({ann, bob, cleo})},
        {"after the last record, a tail behind", KeyFileBytes({ann, cleo}, tail), dan, InsertionResult::Inserted, KeyFileBytes({ann, cleo, dan})},
        {"a key there already", KeyFileBytes({ann, cleo}), {"cleo", "new"}, InsertionResult::KeyExists, KeyFileBytes({ann, cleo})},
        {"a key there already, first", KeyFileBytes({ann, cleo}, tail), {"ann", "new"}, InsertionResult::KeyExists, KeyFileBytes({ann, cleo}, tail)},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string path = dir.file("USER.KEY");
        WriteBytes(path, c.file);
        EXPECT_EQ(InsertKeyRecord(path, Record(c.inserted)), c.result) << c.what;
        EXPECT_EQ(ReadBytes(path), c.after) << c.what;
    }
}
