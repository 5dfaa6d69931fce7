// Every failing write, sync, close or rename of a removal leaves the key file as it was.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dormix/keyindex/RemoveKeyRecord.h"
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
            EXPECT_EQ(FolderEntries(dir.path().string()), std::vector<std::string>{"USER.KEY"});
        }
        EXPECT_GE(failures, 1) << "step " << static_cast<int>(step) << " was never reached";
    }
}
