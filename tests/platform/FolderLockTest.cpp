// The advisory lock on a folder: one holder at a time, also within one process, and nothing of it
// left in the folder once it ends.
#include <gtest/gtest.h>

#include "platform/FolderLock.h"
#include "tests/support/TempDir.h"

namespace {

using platform::FolderLock;

TEST(FolderLock, OneHolderAtATimeAndNothingLeftBehind) {
    TempDir dir;
    const std::string folder = dir.path().string();
    WriteBytes(dir.file("kept.txt"), "k");
    const std::vector<std::string> before = ListNames(folder);
    for (int round = 0; round < 2; ++round) {  // the second round shows that the lock was let go
        const FolderLock first(folder, FolderLock::Wait::No);
        EXPECT_EQ(first.state(), FolderLock::State::Held);
        const FolderLock second(folder, FolderLock::Wait::No);
        EXPECT_TRUE(second.busy());
    }
    EXPECT_EQ(ListNames(folder), before);
    EXPECT_EQ(FolderLock(dir.file("missing"), FolderLock::Wait::No).state(), FolderLock::State::Unavailable);
}

}  // namespace
