#pragma once
#include <string>

// Reads text as the C runtime's atol does: leading white space, an optional sign, then decimal
// digits up to the first other character; no digits read as 0. Overflow wraps to 32 bits.
long AtolLike(const std::string& text);
