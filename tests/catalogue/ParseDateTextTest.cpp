#include <ctime>
#include <vector>

#include <gtest/gtest.h>

#include "marqueta/catalogue/CatalogueFile.h"
#include "tests/support/Portable.h"

namespace {

struct Day {
    int year, month, day;
    bool operator==(const Day&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Day& d) { return out << d.month << "/" << d.day << "/" << d.year; }

Day LocalDay(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

bool IsLocalMidnight(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    return local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0;
}

}  // namespace

TEST(ParseDateText, ReadsMonthDayYearClampedToLocalMidnight) {
    struct Case {
        const char* text;
        Day expected;
    };
    const std::vector<Case> cases = {
        {"1/1/1999", {1999, 1, 1}},
        {"03/07/1999", {1999, 3, 7}},
        {"12/31/2038", {2038, 12, 31}},
        {"13/45/1960", {1970, 12, 31}},
        {"2/30/1999", {1999, 3, 2}},   // past the month's end runs on
        {"0/0/0", {1970, 1, 1}},
        {"-4/-1/99999", {2038, 1, 1}},
        {" 7/ 4/2001xyz", {2001, 7, 4}},
        {"+7/4x/ 2001 12:00", {2001, 7, 4}},
        {"abc/def/ghi", {1970, 1, 1}},  // parts without digits read as 0, then clamp
        {"2/29/2000", {2000, 2, 29}},
        {"6/15/2024/7", {2024, 6, 15}},  // the year part is "2024/7", read up to its slash
        {"//", {1970, 1, 1}},
    };
    for (const Case& c : cases) {
        const std::time_t t = ParseDateText(c.text, 0);
        EXPECT_EQ(LocalDay(t), c.expected) << c.text;
        EXPECT_TRUE(IsLocalMidnight(t)) << c.text;
    }
}

TEST(ParseDateText, WithoutTwoSlashesGivesNow) {
    const std::time_t now = 1'234'567'890;
    for (const char* text : {"", "1999", "1/5", "12-31-1999", "/"}) EXPECT_EQ(ParseDateText(text, now), now) << text;
    const std::time_t before = std::time(nullptr);
    const std::time_t result = ParseDateText("today");
    EXPECT_GE(result, before);
    EXPECT_LE(result, std::time(nullptr));
}
