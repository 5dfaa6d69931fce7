// The pending deletions read back exactly as written; anything else is not acted on.
#include <gtest/gtest.h>

#include "dormix/scan/PendingDeletions.h"
#include "platform/Paths.h"
#include "tests/support/TempDir.h"

namespace {

TEST(PendingDeletions, ReadBackAsWrittenAndNothingElse) {
    TempDir dir;
    // Joined as the scan joins them, with the system's own separator.
    const std::string userFolder = dir.file("user") + platform::kSepText;
    const std::string pattern = userFolder + "*.*";
    const std::string path = dir.file("pending.del");
    keyindex::KeyValue value{};
    value[0] = '\n';
    value[127] = '\xFF';
    PendingBatch batch{PendingStage::MailServer, true, {}, 30};
    batch.accounts.push_back({userFolder + "6E\n0A78", 1700000000, value, true});
    batch.accounts.push_back({userFolder + "616E6E", std::nullopt, std::nullopt, false});
    ASSERT_TRUE(WritePendingDeletions(path, batch));

    PendingBatch read;
    ASSERT_EQ(ReadPendingDeletions(path, pattern, read), PendingRead::Found);
    EXPECT_EQ(read.stage, PendingStage::MailServer);
    EXPECT_TRUE(read.withTervoxUsers);
    EXPECT_EQ(read.days, 30);
    ASSERT_EQ(read.accounts.size(), 2u);
    EXPECT_EQ(read.accounts[0].folder, batch.accounts[0].folder);
    EXPECT_EQ(read.accounts[0].lastLogon, batch.accounts[0].lastLogon);
    EXPECT_EQ(read.accounts[0].userKeyValue, value);
    EXPECT_TRUE(read.accounts[0].keysRemoved);
    EXPECT_EQ(read.accounts[1].userKeyValue, std::nullopt);
    EXPECT_EQ(ReadPendingDeletions(dir.file("none"), pattern, read), PendingRead::None);

    const std::string text = ReadBytes(path);
    const std::string header = "dormix pending deletions 1\nusers\ntervox\n";
    const std::string withDays = "dormix pending deletions 2\nusers\ntervox\n";
    for (const std::string& bad : {text.substr(0, text.size() - 4),           // cut before its end
                                   text + "x",                                // more after its end
                                   header + "2e2e - - 0\nend\n",              // ".." as a folder
                                   header + "612f62 - - 0\nend\n",            // "a/b": a folder further down
                                   header + "616E6E - - 0\nend\n",            // digits not as written
                                   header + "616e6e 12x - 0\nend\n",          // a date that is no number
                                   header + "616e6e -- - 0\nend\n",           // signs without digits
                                   header + "616e6e 99999999999999999999 - 0\nend\n",  // beyond 64 bits
                                   header + "616e6e - 00 0\nend\n",           // a value of the wrong size
                                   header + "616e6e - - 2\nend\n",
                                   header + "616e6e - - 0 0\nend\n",        // a field more
                                   withDays + "616e6e - - 0\nend\n",        // no threshold
                                   withDays + "days 0\nend\n",              // thresholds no scan takes
                                   withDays + "days -30\nend\n",
                                   withDays + "days +30\nend\n",
                                   withDays + "days 30 \nend\n",
                                   std::string("dormix pending deletions 3\nusers\ntervox\nend\n")}) {
        WriteBytes(path, bad);
        EXPECT_EQ(ReadPendingDeletions(path, pattern, read), PendingRead::Unreadable) << bad;
    }
}

}  // namespace
