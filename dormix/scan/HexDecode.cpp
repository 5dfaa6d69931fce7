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

std::string HexText(const char* data, std::size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        out += digits[byte >> 4];
        out += digits[byte & 15];
    }
    return out;
}

bool UnhexText(const std::string& text, std::string& out) {
    if (text.size() % 2 != 0) return false;
    out.clear();
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigitValue(text[i]), low = HexDigitValue(text[i + 1]);
        if (high > 15 || low > 15) return false;
        out += static_cast<char>(high * 16 + low);
    }
    return true;
}
