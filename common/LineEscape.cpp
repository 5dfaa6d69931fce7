#include "common/LineEscape.h"

#include <cstdio>

namespace {

std::string Escaped(const std::string& text, bool doubleBackslash) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' && doubleBackslash) {
            out += "\\\\";  // doubled, so that a name holding "\\x0A" cannot pass for an escaped byte
            continue;
        }
        if (byte >= 0x20 && byte != 0x7F) {
            out += c;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
        out += escaped;
    }
    return out;
}

}  // namespace

std::string EscapedForLine(const std::string& text) { return Escaped(text, true); }

std::string ControlsEscaped(const std::string& text) { return Escaped(text, false); }
