#include "common/Atol.h"

#include <cstdint>

#include "common/NextToken.h"

long AtolLike(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && IsTokenSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // A Windows long has 32 bits and the runtime's atol wraps on overflow; so does this.
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    if (negative) value = 0u - value;
    return static_cast<long>(static_cast<std::int32_t>(value));
}
