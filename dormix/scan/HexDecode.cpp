#include "dormix/scan/HexDecode.h"

#include "platform/CaseFold.h"

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 32;
}

std::string HexDecode(const std::string& text) {
    if (text.size() % 2 != 0) return {};
    std::string out;
    out.reserve(text.size() / 2);
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        const int high = HexDigitValue(platform::FoldCase(text[i]));
        const int low = HexDigitValue(platform::FoldCase(text[i + 1]));
        const int byte = (high * 16 + low) % 256;
        if (byte == 0) break;
        out.push_back(static_cast<char>(byte));
    }
    return out;
}
