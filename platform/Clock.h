#pragma once
#include <cstdint>
#include <ctime>
#include <string>

namespace platform {

// Milliseconds since an arbitrary fixed point, wrapping like GetTickCount.
std::uint32_t TickCount();

// The local time of t written with a strftime format.
std::string LocalTimeText(std::time_t t, const char* format);

}  // namespace platform
