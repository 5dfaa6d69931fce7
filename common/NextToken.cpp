#include "common/NextToken.h"

// Multibyte safety by construction: texts here are 8-bit, and the separators the programs pass
// (',', '/', '-', CR, LF) and the white space are all ASCII below 0x40. Every byte of a UTF-8
// multibyte character is 0x80 or above, and a double-byte code page's trail byte is 0x40 or above,
// so a plain byte search never matches inside a character.

bool IsTokenSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view TrimSpaceView(std::string_view text) {
    std::size_t first = 0, last = text.size();
    while (first < last && IsTokenSpace(text[first])) ++first;
    while (last > first && IsTokenSpace(text[last - 1])) --last;
    return text.substr(first, last - first);
}

std::string TrimSpace(const std::string& text) { return std::string(TrimSpaceView(text)); }

bool NextToken(std::string& token, std::string_view& rest, std::string_view separators) {
    rest = TrimSpaceView(rest);
    if (rest.empty()) return false;
    const std::size_t at = rest.find_first_of(separators);
    if (at == std::string_view::npos) {
        token.assign(rest);
        rest = {};
        return true;
    }
    token.assign(rest.substr(0, at));
    rest.remove_prefix(at + 1);
    return true;
}

bool NextToken(std::string& token, std::string& rest, const std::string& separators) {
    std::string_view view(rest);
    const bool found = NextToken(token, view, separators);
    rest = std::string(view);
    return found;
}
