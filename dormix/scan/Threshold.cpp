#include "dormix/scan/Threshold.h"

const char* ThresholdRefusal(std::int32_t days) {
    // A negative threshold would count accounts in use as dormant: refused like -1.
    if (days < 0) return "Please enter or select a value";  // string 102
    if (days == 0) return "Please enter a number";          // string 103
    return nullptr;
}
