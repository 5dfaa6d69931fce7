#include <climits>

#include <gtest/gtest.h>

#include "dormix/scan/LastLogon.h"
#include "tests/scan/fixture/DormixInstallation.h"

namespace {

TEST(ReadLastLogon, SeparatorsAndBlanksGiveTheSameDay) {
    const std::time_t fifthOfJanuary = LocalTime(1999, 1, 5);
    for (const char* value : {"1999/1/5", "1999-01-05", "1999/01-05", " 1999 / 1 / 5 ", "1999-1/5/7", "1999/1/5x"}) {
        const LastLogon logon = ReadLastLogon(value);
        EXPECT_EQ(logon.reading, LogonReading::Date) << value;
        EXPECT_EQ(logon.then, fifthOfJanuary) << value;
    }
}

TEST(ReadLastLogon, OutOfRangePartsCarryOver) {
    const std::pair<const char*, std::time_t> cases[] = {
        {"1999/13/1", LocalTime(2000, 1, 1)},
        {"1999/2/29", LocalTime(1999, 3, 1)},
        {"1999/12/32", LocalTime(2000, 1, 1)},
    };
    for (const auto& [value, then] : cases) {
        const LastLogon logon = ReadLastLogon(value);
        EXPECT_EQ(logon.reading, LogonReading::Date) << value;
        EXPECT_EQ(logon.then, then) << value;
    }
}

TEST(ReadLastLogon, FewerThanThreePartsArePassedOver) {
    for (const char* value : {"", "   ", "1999", "1999/5", "1999-5", "1999/5/"}) {
        EXPECT_EQ(ReadLastLogon(value).reading, LogonReading::TooFewParts) << '"' << value << '"';
    }
}

TEST(ReadLastLogon, NumbersThatMakeNoDateAreUnreadable) {
    for (const char* value : {"1969/12/31", "0/1/5", "1999/0/5", "1999/1/0", "abc/1/5", "1999/x/5", "///", "99/1/5"}) {
        EXPECT_EQ(ReadLastLogon(value).reading, LogonReading::Unreadable) << value;
    }
}

TEST(ReadLastLogon, PartsThatCarryBackBefore1970AreUnreadable) {
    // A part too large for a 32-bit number wraps to a negative one, which carries the day back
    // into 1969: no date, so never a reason to delete.
    for (const char* value : {"1970/4294967295/1", "1970/1/4294967295", "1970/4294967284/15"}) {
        EXPECT_EQ(ReadLastLogon(value).reading, LogonReading::Unreadable) << value;
    }
}

TEST(AgeInDays, WholeDaysTruncatedTowardZero) {
    constexpr std::time_t day = 86400;
    const std::time_t now = LocalTime(2024, 3, 15, 23);
    struct Case {
        std::time_t then;
        std::int32_t age;
    };
    const Case cases[] = {
        {now, 0},
        {now - day + 1, 0},
        {now - day, 1},
        {now - 30 * day - 23 * 3600, 30},
        {now + day - 1, 0},     // toward zero, not down
        {now + day, -1},
        {now + 2 * day + 5, -2},
    };
    for (const Case& c : cases) EXPECT_EQ(AgeInDays(now, c.then), c.age) << now - c.then;
}

TEST(AgeInDays, FarDatesStayInRange) {
    const std::time_t farFuture = static_cast<std::time_t>(INT64_C(1) << 50);
    EXPECT_EQ(AgeInDays(0, farFuture), INT32_MIN);
    EXPECT_EQ(AgeInDays(farFuture, 0), INT32_MAX);
    // Beyond the 32-bit clock's end a logon still counts as days ahead, never behind.
    EXPECT_LT(AgeInDays(LocalTime(2024, 1, 1), LocalTime(2100, 1, 1)), -27000);
}

}  // namespace
