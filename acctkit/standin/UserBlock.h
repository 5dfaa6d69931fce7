#pragma once
// The block that GetUsers hands out: allocated where the caller's release expects it.
#include <string>

namespace acctkit {

// Byte 0-1: 1 (little-endian) when found, else 0. Found blocks carry the user's name from
// byte 2 (cut to fit before byte 149) and the file path from byte 149, each zero-terminated.
void* MakeUserBlock(bool found, const std::string& name, const std::string& filePath);

}  // namespace acctkit
