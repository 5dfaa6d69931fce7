#pragma once
// The number of days that a scan takes, read and checked the same way by every front end.
#include <cstdint>
#include <string>

// The refusal for a threshold that no scan takes (-1 and other negatives, and 0, which is
// also what a text without a number reads as); null when days is accepted.
const char* ThresholdRefusal(std::int32_t days);
