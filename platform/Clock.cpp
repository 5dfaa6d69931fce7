#include "platform/Clock.h"

#include <chrono>
#include <cstdio>

#ifdef _WIN32
#include "platform/win/WindowsApi.h"
#endif

namespace platform {

#ifdef _WIN32
std::uint32_t TickCount() { return GetTickCount(); }
#else
std::uint32_t TickCount() {
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms));
}
#endif

bool LocalTime(std::time_t moment, std::tm& parts) {
#ifdef _WIN32
    return localtime_s(&parts, &moment) == 0;
#else
    return localtime_r(&moment, &parts) != nullptr;
#endif
}

std::string LocalTimeText(std::time_t t, const char* format) {
    std::tm local{};
    LocalTime(t, local);
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, format, &local);
    return std::string(text, length);
}

namespace {

// Seconds since 1970 of a calendar time read as UTC (days from the civil date, proleptic Gregorian).
long long AsUtcSeconds(const std::tm& t) {
    const long long year = t.tm_year + 1900LL - (t.tm_mon < 2);
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long month = t.tm_mon + 1;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + t.tm_mday - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const long long days = era * 146097 + dayOfEra - 719468;
    return days * 86400 + t.tm_hour * 3600LL + t.tm_min * 60LL + t.tm_sec;
}

}  // namespace

std::string LocalTimeWithOffset(std::time_t t) {
    std::tm local{};
    LocalTime(t, local);
    const long long offset = (AsUtcSeconds(local) - static_cast<long long>(t)) / 60;
    const long long minutes = offset < 0 ? -offset : offset;
    char zone[32];
    std::snprintf(zone, sizeof zone, "%c%02lld:%02lld", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return LocalTimeText(t, "%Y-%m-%dT%H:%M:%S") + zone;
}

}  // namespace platform
