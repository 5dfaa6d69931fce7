#include <climits>

#include <gtest/gtest.h>

#include "dormix/scan/ReadDialogInt.h"

namespace {

TEST(ReadDialogInt, ReadsLikeADialogItem) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"90 Days", 90},
        {" 45", 45},
        {"45abc", 45},
        {"\t 7", 7},
        {"007", 7},
        {"", 0},
        {"   ", 0},
        {"abc", 0},
        {"Days 30", 0},
        {"-1", -1},
        {"-5", -5},
        {" -12 Days", -12},
        {"-", 0},
        {"- 5", 0},
        {"+5", 0},
        {"--5", 0},
        {"2147483647", INT32_MAX},
        {"2147483648", 0},
        {"-2147483648", INT32_MIN},
        {"-2147483649", 0},
        {"99999999999999999999", 0},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(ReadDialogInt(text), value) << '"' << text << '"';
}

}  // namespace
