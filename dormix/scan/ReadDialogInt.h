#pragma once
#include <cstdint>
#include <string>

// A control's text read as a signed whole number, the way the system reads a dialog item:
// leading blanks are skipped, one optional minus sign is taken, then decimal digits up to the
// first other character. No digits, or a number beyond 32 bits, read as 0.
std::int32_t ReadDialogInt(const std::string& text);
