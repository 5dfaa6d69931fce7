#include <gtest/gtest.h>

#include "common/Atol.h"

namespace {

TEST(AtolLike, ReadsAsTheCRuntimeDoes) {
    struct Case {
        const char* text;
        long expected;
    } cases[] = {
        {"0", 0},
        {"42", 42},
        {"  \t\n 17", 17},
        {"+8", 8},
        {"-2024", -2024},
        {"12abc", 12},
        {"3.9", 3},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"+-1", 0},
        {"- 1", 0},
        {"007", 7},
        {"2147483647", 2147483647L},
        {"-2147483648", -2147483647L - 1},
        {"2147483648", -2147483647L - 1},  // a 32-bit long wraps
        {"4294967297", 1},
        {"-4294967295", 1},
        {"99999999999999999999", 1661992959L},
    };
    for (const auto& c : cases) EXPECT_EQ(AtolLike(c.text), c.expected) << c.text;
}

}  // namespace
