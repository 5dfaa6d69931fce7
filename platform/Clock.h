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

}  // namespace platform
