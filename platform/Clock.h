#pragma once
#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary fixed point, wrapping like GetTickCount.
std::uint32_t TickCount();

}  // namespace platform
