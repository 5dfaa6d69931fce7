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

namespace {

// The first separator in text. A window at a time, each separator searched for with find (a
// fast byte search) only as far as the nearest one found so far: find_first_of searches the
// separators once for every byte, which on a large catalogue was most of the load, and a plain
// find of one separator would run to the end of the text for one that it does not hold.
std::size_t FindSeparator(std::string_view text, std::string_view separators) {
    constexpr std::size_t kWindow = 256;
    for (std::size_t start = 0; start < text.size(); start += kWindow) {
        std::string_view window = text.substr(start, kWindow);
        std::size_t nearest = std::string_view::npos;
        for (const char separator : separators) {
            const std::size_t at = window.find(separator);
            if (at == std::string_view::npos) continue;
            nearest = at;
            window = window.substr(0, at);
        }
        if (nearest != std::string_view::npos) return start + nearest;
    }
    return std::string_view::npos;
}

}  // namespace

bool NextToken(std::string_view& token, std::string_view& rest, std::string_view separators) {
    rest = TrimSpaceView(rest);
    if (rest.empty()) return false;
    const std::size_t at = FindSeparator(rest, separators);
    if (at == std::string_view::npos) {
        token = rest;
        rest = {};
        return true;
    }
    token = rest.substr(0, at);
    rest.remove_prefix(at + 1);
    return true;
}

bool NextToken(std::string& token, std::string_view& rest, std::string_view separators) {
    std::string_view view;
    if (!NextToken(view, rest, separators)) return false;
    token.assign(view);
    return true;
}

bool NextToken(std::string& token, std::string& rest, const std::string& separators) {
    std::string_view view(rest);
    const bool found = NextToken(token, view, separators);
    rest = std::string(view);
    return found;
}
