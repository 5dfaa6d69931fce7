#include "dormix/scan/HexDecode.h"

namespace {

// Lower-cases A-Z only: bytes of multibyte characters (all from 128 up in UTF-8) stay as they are.
std::string LowerAscii(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    }
    return out;
}

}  // namespace

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 32;
}

std::string HexDecode(const std::string& text) {
    if (text.size() % 2 != 0) return {};
    const std::string lowered = LowerAscii(text);
    std::string out;
    out.reserve(lowered.size() / 2);
    for (std::size_t i = 0; i + 1 < lowered.size(); i += 2) {
        const int byte = (HexDigitValue(lowered[i]) * 16 + HexDigitValue(lowered[i + 1])) % 256;
        if (byte == 0) break;
        out.push_back(static_cast<char>(byte));
    }
    return out;
}
