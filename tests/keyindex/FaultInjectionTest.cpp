// Every failing write, sync, close or rename of a removal leaves the key file as it was.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dormix/keyindex/RemoveKeyRecord.h"
#include "dormix/keyindex/RemoveUserKeys.h"
#include "dormix/keyindex/UserKey.h"
#include "platform/FaultInjection.h"
#include "tests/keyindex/KeyFileWriter.h"
#include "tests/support/TempDir.h"

using namespace keyindex;
namespace fault = platform::fault;

TEST(RemoveKeyRecordFaults, EachFailureLeavesTheFileUnchangedAndNoTemporaryFile) {
    TempDir dir;
    const std::string path = dir.file("USER.KEY");
    const auto records = NumberedRecords(6000);  // more than one copy chunk
    const std::string before = KeyFileBytes(records);
    const std::string after = KeyFileBytes(Without(records, 3000));

    for (fault::Step step : {fault::Step::Create, fault::Step::Write, fault::Step::Flush, fault::Step::Close,
                             fault::Step::Rename}) {
        int failures = 0;
        for (int n = 1; n < 100; ++n) {
            WriteBytes(path, before);
            fault::FailAt(step, n);
            const RemovalResult result = RemoveKeyRecord(path, 3000 * 256);
            const bool fired = fault::Fired();
            fault::Reset();
            if (!fired) {
                EXPECT_EQ(result, RemovalResult::Removed);
                EXPECT_EQ(ReadBytes(path), after);
                break;
            }
            ++failures;
            EXPECT_EQ(result, RemovalResult::Unchanged) << static_cast<int>(step) << " n=" << n;
            EXPECT_EQ(ReadBytes(path), before) << static_cast<int>(step) << " n=" << n;
            EXPECT_EQ(ListNames(dir.path().string()), std::vector<std::string>{"USER.KEY"});
        }
        EXPECT_GE(failures, 1) << "step " << static_cast<int>(step) << " was never reached";
    }
}

TEST(RemoveUserKeysFaults, AFailedSecondRemovalKeepsTheFirst) {
    TempDir dir;
    const std::string userDir = dir.file("USER");
    std::filesystem::create_directory(userDir);
    const std::vector<TestRecord> users = {{MakeUserKey("ann"), "T1"}, {MakeUserKey("bob"), "T2"}};
    const std::vector<TestRecord> times = {{"T1", "ann"}, {"T2", "bob"}};
    WriteKeyFile(userDir + "/USER.KEY", users);
    WriteKeyFile(userDir + "/USERTIME.KEY", times);

    fault::FailAt(fault::Step::Rename, 2);  // the rename of the new "USERTIME.KEY"
    RemoveUserKeys(dir.path().string(), "bob");
    EXPECT_TRUE(fault::Fired());
    fault::Reset();
    EXPECT_EQ(ReadBytes(userDir + "/USER.KEY"), KeyFileBytes(Without(users, 1)));
    EXPECT_EQ(ReadBytes(userDir + "/USERTIME.KEY"), KeyFileBytes(times));
    EXPECT_EQ(ListNames(userDir), (std::vector<std::string>{"USER.KEY", "USERTIME.KEY"}));
}

TEST(RemoveKeyRecordFaults, AWriterJustBeforeTheReplacementKeepsItsFile) {
    // The web-mail product writes the key file while the copy is being made safe on disk: the
    // copy of the older version must not replace it.
    TempDir dir;
    const std::string path = dir.file("USER.KEY");
    const auto records = NumberedRecords(4);
    WriteKeyFile(path, records);
    const std::string written = KeyFileBytes(NumberedRecords(5));
    fault::BeforeReplace([&] { WriteBytes(path, written); });

    EXPECT_EQ(RemoveKeyRecord(path, 2 * 256), RemovalResult::FileChanged);
    fault::Reset();
    EXPECT_EQ(ReadBytes(path), written);
    EXPECT_EQ(ListNames(dir.path().string()), std::vector<std::string>{"USER.KEY"});
}

TEST(RemoveUserKeysFaults, AWriterJustBeforeTheReplacementGetsTheRemovalRedone) {
    TempDir dir;
    const std::string userDir = dir.file("USER");
    std::filesystem::create_directory(userDir);
    const std::vector<TestRecord> users = {{MakeUserKey("ann"), "T1"}, {MakeUserKey("bob"), "T2"}};
    const std::vector<TestRecord> grown = {
        {MakeUserKey("ann"), "T1"}, {MakeUserKey("bob"), "T2"}, {MakeUserKey("cleo"), "T3"}};
    const std::vector<TestRecord> times = {{"T1", "ann"}, {"T2", "bob"}};
    WriteKeyFile(userDir + "/USER.KEY", users);
    WriteKeyFile(userDir + "/USERTIME.KEY", times);
    fault::BeforeReplace([&] { WriteKeyFile(userDir + "/USER.KEY", grown); });

    RemoveUserKeys(dir.path().string(), "bob");
    fault::Reset();

    EXPECT_EQ(ReadBytes(userDir + "/USER.KEY"), KeyFileBytes(Without(grown, 1)));
    EXPECT_EQ(ReadBytes(userDir + "/USERTIME.KEY"), KeyFileBytes(Without(times, 1)));
    EXPECT_EQ(ListNames(userDir), (std::vector<std::string>{"USER.KEY", "USERTIME.KEY"}));
}
