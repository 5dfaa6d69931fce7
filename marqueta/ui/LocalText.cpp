#include "marqueta/ui/LocalText.h"

#include <array>

namespace {

// Windows-1252 bytes 0x80 to 0x9F; the five it leaves undefined stand for the control characters
// of the same number, as the system's own conversion does, so every byte comes back.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

// Length of the UTF-8 sequence starting at i, or 0 when it is not a valid one (overlong forms,
// surrogates and values past U+10FFFF are not).
std::size_t Utf8SequenceAt(const std::string& s, std::size_t i) {
    const unsigned char lead = Byte(s[i]);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else return 0;
    if (i + length > s.size()) return 0;
    if (Byte(s[i + 1]) < low || Byte(s[i + 1]) > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (Byte(s[i + k]) < 0x80 || Byte(s[i + k]) > 0xBF) return 0;
    return length;
}

enum class Encoding { Ascii, Utf8, Windows1252 };

Encoding EncodingOf(const std::string& bytes) {
    Encoding found = Encoding::Ascii;
    for (std::size_t i = 0; i < bytes.size();) {
        if (Byte(bytes[i]) < 0x80) {  // plain ASCII, most of every catalogue, passed quickly
            ++i;
            continue;
        }
        const std::size_t length = Utf8SequenceAt(bytes, i);
        if (length == 0) return Encoding::Windows1252;
        if (length > 1) found = Encoding::Utf8;
        i += length;
    }
    return found;
}

QString FromWindows1252(const std::string& bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes) {
        const unsigned char b = Byte(c);
        text += QChar(b >= 0x80 && b <= 0x9F ? kHighControls[b - 0x80] : char16_t{b});
    }
    return text;
}

// False when text holds a character that Windows-1252 cannot write.
bool ToWindows1252(const QString& text, std::string& bytes) {
    bytes.clear();
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes += static_cast<char>(u);
            continue;
        }
        std::size_t k = 0;
        while (k < kHighControls.size() && kHighControls[k] != u) ++k;
        if (k == kHighControls.size()) return false;
        bytes += static_cast<char>(0x80 + k);
    }
    return true;
}

std::string ToStd(const QByteArray& bytes) { return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())); }

}  // namespace

QString ToQt(const std::string& bytes) {
    if (EncodingOf(bytes) == Encoding::Windows1252) return FromWindows1252(bytes);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string FromQt(const QString& text, const std::string& asRead) {
    if (ToQt(asRead) == text) return asRead;
    switch (EncodingOf(asRead)) {
    case Encoding::Windows1252: {
        std::string bytes;
        if (ToWindows1252(text, bytes)) return bytes;
        return ToStd(text.toUtf8());
    }
    case Encoding::Utf8: return ToStd(text.toUtf8());
    case Encoding::Ascii: break;
    }
    return ToStd(text.toLocal8Bit());
}
