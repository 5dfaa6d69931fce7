#include "dormix/scan/LastLogon.h"

#include <algorithm>

#include "common/Atol.h"
#include "common/NextToken.h"

namespace {

constexpr long kFirstYear = 1970;
constexpr std::int64_t kSecondsPerDay = 86400;

// Local midnight of the day; out-of-range months and days carry over as mktime does.
// -1 when the numbers give no date that the conversion accepts.
std::time_t LocalMidnight(long year, long month, long day) {
    if (year < kFirstYear || month == 0 || day == 0) return -1;
    std::tm date{};
    date.tm_year = static_cast<int>(year - 1900);
    date.tm_mon = static_cast<int>(month - 1);
    date.tm_mday = static_cast<int>(day);
    date.tm_isdst = 0;
    return std::mktime(&date);
}

}  // namespace

LastLogon ReadLastLogon(const std::string& value) {
    std::string rest = value;
    std::string year;
    std::string month;
    std::string day;
    if (!NextToken(year, rest, "/-") || !NextToken(month, rest, "/-") || !NextToken(day, rest, "/-")) {
        return {};
    }
    const std::time_t then = LocalMidnight(AtolLike(year), AtolLike(month), AtolLike(day));
    // The product's clock starts at 1970: a day before it, reached by carrying over a part
    // that wrapped to a negative number or by a time zone east of Greenwich, is no date either.
    if (then < 0) return {LogonReading::Unreadable, 0};
    return {LogonReading::Date, then};
}

std::int32_t AgeInDays(std::time_t now, std::time_t then) {
    const std::int64_t days = (static_cast<std::int64_t>(now) - static_cast<std::int64_t>(then)) / kSecondsPerDay;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(days, INT32_MIN, INT32_MAX));
}
