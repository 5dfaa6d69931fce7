#include <gtest/gtest.h>

#include "platform/Clock.h"
#include "platform/Random.h"

namespace {

TEST(Random, FollowsTheCRuntimeSequence) {
    // The first values of the C runtime's rand after srand(1), and after srand(12345).
    platform::SeedRandom(1);
    std::vector<int> first;
    for (int i = 0; i < 5; ++i) first.push_back(platform::NextRandom());
    EXPECT_EQ(first, (std::vector<int>{41, 18467, 6334, 26500, 19169}));

    platform::SeedRandom(12345);
    std::vector<int> other;
    for (int i = 0; i < 3; ++i) other.push_back(platform::NextRandom());
    EXPECT_EQ(other, (std::vector<int>{7584, 19164, 25795}));

    platform::SeedRandom(0xFFFFFFFFu);
    for (int i = 0; i < 100000; ++i) {
        int v = platform::NextRandom();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, platform::kRandMax);
    }
}

TEST(Clock, TickCountMovesForwardInMilliseconds) {
    std::uint32_t a = platform::TickCount();
    std::uint32_t b = platform::TickCount();
    // Both readings come from the same monotonic clock; the wrap of 2^32 ms cannot fall between them
    // except once in 49 days, when unsigned subtraction still gives the small step.
    EXPECT_LT(static_cast<std::uint32_t>(b - a), 1000u);
}

}  // namespace
