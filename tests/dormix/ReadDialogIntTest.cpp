#include <climits>
#include <tuple>

#include <gtest/gtest.h>

#include "dormix/scan/DayCount.h"
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

// One table for both front ends: what the dialog reads (0 is refused with "Please enter a
// number") and what the command line takes (0: a usage error).
TEST(DayCount, TheDialogReadsTheLeadingNumberTheCommandLineOnlyAWholeOne) {
    const std::tuple<const char*, std::int32_t, std::int32_t> cases[] = {
        {"30", 30, 30},         {"007", 7, 7},          {"2147483647", INT32_MAX, INT32_MAX},
        {"30 Days", 30, 0},     {"45abc", 45, 0},       {"3e2", 3, 0},
        {"9O", 9, 0},           {"0x10", 0, 0},         {"+30", 0, 0},
        {"1,000", 0, 0},        {"1.5", 0, 0},          {" 2.50 Days", 0, 0},
        {"-1,5", 0, 0},         {"1,", 1, 0},           {"1, 000", 1, 0},
        {"7.x", 7, 0},          {"0", 0, 0},            {"-5", -5, 0},
        {"", 0, 0},             {" 30", 30, 0},         {"2147483648", 0, 0},
    };
    for (const auto& [text, dialog, commandLine] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ReadDialogDays(text), dialog);
        EXPECT_EQ(ReadCommandLineDays(text).value_or(0), commandLine);
    }
}

}  // namespace
