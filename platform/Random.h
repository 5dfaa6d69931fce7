#pragma once
// The process-wide generator of the C runtime: values 0 to 32767, same seed, same sequence.
#include <cstdint>

namespace platform {

inline constexpr int kRandMax = 32767;

void SeedRandom(std::uint32_t seed);
int NextRandom();

}  // namespace platform
