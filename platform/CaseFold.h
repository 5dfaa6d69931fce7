#pragma once
// Comparison without letter case for 8-bit texts. Only the ASCII letters fold: a byte from 0x80
// up is never a letter here, so a lead or trail byte of a multibyte character (UTF-8 or a double-byte
// code page) only ever equals itself.
#include <string>

namespace platform {

inline char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

}  // namespace platform
