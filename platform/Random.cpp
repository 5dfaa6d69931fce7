#include "platform/Random.h"

namespace platform {

namespace {
// The C runtime starts as if seeded with 1.
std::uint32_t state = 1;
}  // namespace

void SeedRandom(std::uint32_t seed) { state = seed; }

int NextRandom() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

}  // namespace platform
