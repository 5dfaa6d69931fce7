#include "dormix/warn/UtcTime.h"

#include <cstdint>
#include <cstdio>

namespace {

struct Civil {
    std::int64_t year;
    int month;  // 1 to 12
    int day;
};

constexpr std::int64_t kSecondsPerDay = 86400;

// Days since 1970-01-01 and back, in the proleptic Gregorian calendar (era arithmetic, valid
// for every 64-bit day count that matters here).
std::int64_t DaysFromCivil(Civil c) {
    const std::int64_t y = c.year - (c.month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (c.month + (c.month > 2 ? -3 : 9)) + 2) / 5 + c.day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

Civil CivilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

struct Parts {
    Civil date;
    int weekday;  // 0 Sunday
    int hour, minute, second;
};

Parts PartsOf(std::time_t t) {
    const auto seconds = static_cast<std::int64_t>(t);
    std::int64_t days = seconds / kSecondsPerDay;
    std::int64_t rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    const int weekday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    return {CivilFromDays(days), weekday, static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
            static_cast<int>(rest % 60)};
}

}  // namespace

std::string MailDateText(std::time_t t) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const Parts p = PartsOf(t);
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %lld %02d:%02d:%02d +0000", kDays[p.weekday], p.date.day,
                  kMonths[p.date.month - 1], static_cast<long long>(p.date.year), p.hour, p.minute, p.second);
    return text;
}

std::string UtcStampText(std::time_t t) {
    const Parts p = PartsOf(t);
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02d:%02d:%02dZ", static_cast<long long>(p.date.year),
                  p.date.month, p.date.day, p.hour, p.minute, p.second);
    return text;
}

std::optional<std::time_t> ReadUtcStamp(const std::string& text) {
    static const char kShape[] = "0000-00-00T00:00:00Z";  // '0' stands for any digit
    if (text.size() != sizeof kShape - 1) return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kShape[i] == '0' ? !digit : text[i] != kShape[i]) return std::nullopt;
    }
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2dZ", &year, &month, &day, &hour, &minute, &second);
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60) return std::nullopt;
    const std::int64_t days = DaysFromCivil({year, month, day});
    return static_cast<std::time_t>(days * kSecondsPerDay + hour * 3600 + minute * 60 + second);
}
