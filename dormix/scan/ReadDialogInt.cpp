#include "dormix/scan/ReadDialogInt.h"

std::int32_t ReadDialogInt(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (negative) ++i;
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT32_MIN) : INT32_MAX;
    std::int64_t value = 0;
    bool anyDigit = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit) return 0;
        anyDigit = true;
    }
    if (!anyDigit) return 0;
    return static_cast<std::int32_t>(negative ? -value : value);
}
