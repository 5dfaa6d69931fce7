#pragma once
// The key under which the web-mail product files a user name in "USER.KEY".
#include <cstddef>
#include <string>

namespace keyindex {

// Lowers "A" to "Z" in at most n bytes, stopping at a zero byte. A byte of 128 or more opens a
// double-byte character: it and the byte after it are left as they are. No code page is consulted,
// so the result matches the product's own keys byte for byte.
void LowerKeyBytes(char* bytes, std::size_t n);

// The first 128 bytes of the name, lowered by LowerKeyBytes and written as two upper-case
// hexadecimal digits per byte ("Ann" gives "616E6E"): at most 256 characters.
std::string MakeUserKey(const std::string& userName);

}  // namespace keyindex
