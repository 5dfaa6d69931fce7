#pragma once
#include <cstdint>
#include <ctime>

namespace platform {

// Milliseconds since an arbitrary fixed point, wrapping like GetTickCount.
std::uint32_t TickCount();

// The local calendar time of moment in parts; false when the system cannot express it.
bool LocalTime(std::time_t moment, std::tm& parts);

}  // namespace platform
