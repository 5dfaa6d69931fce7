#pragma once
#include <cstdint>
#include <ctime>
#include <string>

namespace platform {

// Milliseconds since an arbitrary fixed point, wrapping like GetTickCount.
std::uint32_t TickCount();

// The local calendar time of moment in parts; false when the system cannot express it.
bool LocalTime(std::time_t moment, std::tm& parts);

// The local time of t written with a strftime format.
std::string LocalTimeText(std::time_t t, const char* format);

// The local time of t as ISO 8601 with its offset from UTC: "2024-03-15T23:00:00+01:00".
std::string LocalTimeWithOffset(std::time_t t);

}  // namespace platform
