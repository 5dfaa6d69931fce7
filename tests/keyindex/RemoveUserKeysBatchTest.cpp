// The batch removal leaves both key files byte for byte as the removal one user at a time does,
// over random installations, and tells the same per user.
#include <filesystem>
#include <random>

#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/keyindex/BatchDifferential.h"
#include "tests/support/TempDir.h"

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
