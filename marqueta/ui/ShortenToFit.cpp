#include "marqueta/ui/ShortenToFit.h"

#include <QFontMetrics>

#include "marqueta/ui/LocalText.h"

namespace {

const std::string kDots = "...";

// A position inside a multibyte character (before a continuation byte) is no place to cut.
bool SplitsCharacter(const std::string& text, std::size_t position) {
    return position < text.size() && (static_cast<unsigned char>(text[position]) & 0xC0) == 0x80;
}

}  // namespace

int TextExtent(const QFontMetrics& metrics, const std::string& text) {
    return metrics.horizontalAdvance(ToQt(text));
}

std::string ShortenToFit(const QFontMetrics& metrics, const std::string& text, int width, int margin) {
    const std::size_t n = text.size();
    if (n == 0 || TextExtent(metrics, text) + margin <= width) return text;

    const int dotsExtent = TextExtent(metrics, kDots);
    std::string copy = text;
    for (std::size_t i = n - 1; i >= 1; --i) {
        if (SplitsCharacter(text, i)) continue;
        copy.resize(i);
        if (TextExtent(metrics, copy) + margin + dotsExtent <= width) break;
    }
    return copy + kDots;
}
