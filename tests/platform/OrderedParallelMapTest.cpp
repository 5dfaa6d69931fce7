// Results of work spread over threads come back in the order the items went in, on the calling
// thread, never more of them held than the window; a taker that ends the stream gets nothing more.
#include <atomic>
#include <chrono>
#include <new>
#include <thread>

#include <gtest/gtest.h>

#include "platform/OrderedParallelMap.h"

TEST(OrderedParallelMap, TakesEveryResultInOrderOnTheCallingThreadWithinTheWindow) {
    struct Case {
        unsigned threads;
        std::size_t window;
        int items;
        int endAt;  // the taker ends the stream at this result; -1: never
        int throwAt = -1;  // the work on this item throws, which ends the stream there for the caller
    };
    const Case cases[] = {{1, 1, 50, -1}, {2, 1, 50, -1}, {4, 3, 200, -1}, {8, 64, 200, -1},
                          {1, 1, 50, 10}, {3, 2, 200, 17},  {8, 64, 200, 150},
                          {1, 1, 50, -1, 10}, {4, 8, 200, -1, 0}, {3, 16, 200, -1, 120}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.threads << " threads, window " << c.window << ", end " << c.endAt << ", throw " << c.throwAt);
        const std::thread::id caller = std::this_thread::get_id();
        std::atomic<int> inHand{0};
        std::vector<int> taken;
        int handedIn = 0;
        bool goesOn = true;
        bool thrown = false;
        try {
            platform::OrderedParallelMap<int, int> map(
                [&c](const int& item) {
                    if (item == c.throwAt) throw std::bad_alloc();
                    // Uneven work, so that later items often finish first.
                    std::this_thread::sleep_for(std::chrono::microseconds(item * 37 % 300));
                    return item * 2;
                },
                [&](int&& result) {
                    EXPECT_EQ(std::this_thread::get_id(), caller);
                    --inHand;
                    taken.push_back(result);
                    return static_cast<int>(taken.size()) != c.endAt;
                },
                c.threads, c.window);
            for (int i = 0; i < c.items && goesOn; ++i, ++handedIn) {
                ++inHand;
                goesOn = map.put(i);
                EXPECT_LE(inHand.load(), static_cast<int>(c.window));
            }
            goesOn = goesOn && map.finish();
        } catch (const std::bad_alloc&) {
            thrown = true;
        }
        EXPECT_EQ(thrown, c.throwAt >= 0);
        const int expected = c.throwAt >= 0 ? c.throwAt : c.endAt < 0 ? c.items : c.endAt;
        EXPECT_EQ(goesOn, c.endAt < 0);
        ASSERT_EQ(static_cast<int>(taken.size()), expected);
        for (int i = 0; i < expected; ++i) EXPECT_EQ(taken[static_cast<std::size_t>(i)], 2 * i);
        // Once ended, the next item handed in is refused: the walk stops feeding it.
        if (c.endAt >= 0) {
            EXPECT_LE(handedIn, c.endAt + static_cast<int>(c.window) + 1);
        }
    }
}
