// ParseDateText on any text: without two slashes the given time; else local midnight of the
// clamped month, day and year, a day past the month's end running on into the next month.
#include <cstdlib>
#include <ctime>

#include "marqueta/catalogue/CatalogueFile.h"
#include "tests/fuzz/FuzzSupport.h"

using fuzz::Require;

namespace {

// A number as the C runtime's atol reads it, with a 32-bit long that wraps.
long ReadNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && fuzz::IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::uint32_t value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') value = value * 10 + static_cast<std::uint32_t>(text[i++] - '0');
    if (negative) value = 0 - value;
    return static_cast<std::int32_t>(value);
}

long Clamped(long value, long low, long high) { return value < low ? low : value > high ? high : value; }

int DaysIn(int month, int year) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Universal time has no daylight-saving gap at midnight, so every result is a midnight.
    setenv("TZ", "UTC", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::time_t now = 1234567890;
    const std::time_t result = ParseDateText(text, now);

    const std::size_t first = text.find('/');
    const std::size_t second = first == std::string::npos ? first : text.find('/', first + 1);
    if (second == std::string::npos) {
        Require(result == now, "a text without two slashes gives the current time");
        return 0;
    }
    const int month = static_cast<int>(Clamped(ReadNumber(text.substr(0, first)), 1, 12));
    int day = static_cast<int>(Clamped(ReadNumber(text.substr(first + 1, second - first - 1)), 1, 31));
    const int year = static_cast<int>(Clamped(ReadNumber(text.substr(second + 1)), 1970, 2038));
    int expectedMonth = month;
    if (day > DaysIn(month, year)) {
        day -= DaysIn(month, year);
        ++expectedMonth;  // never past December, which has 31 days
    }
    std::tm parts{};
    Require(gmtime_r(&result, &parts) != nullptr, "the result is a valid time");
    Require(parts.tm_hour == 0 && parts.tm_min == 0 && parts.tm_sec == 0, "the result is a midnight");
    Require(parts.tm_year + 1900 == year, "the year is the clamped year");
    Require(parts.tm_mon + 1 == expectedMonth, "the month is the clamped month, or the next after a run-on");
    Require(parts.tm_mday == day, "the day is the clamped day, or what runs on past the month's end");
    return 0;
}
