#include "marqueta/ui/ShortenToFit.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

#include "tests/ui/TestFont.h"

namespace {

struct Case {
    const char* name;
    std::string text;
    int widthInChars;  // width = widthInChars * advance + extra
    int extra;
    int margin;
    std::string expected;
};

TEST(ShortenToFit, CutsToTheLongestPrefixThatFitsWithTheDots) {
    const QFontMetrics metrics(TestFont());
    const int w = metrics.horizontalAdvance(QLatin1Char('a'));
    ASSERT_GT(w, 0);
    ASSERT_EQ(metrics.horizontalAdvance(QStringLiteral("abcdef")), 6 * w) << "the test font must be monospaced";

    const Case cases[] = {
        {"fits exactly with margin 4", "abcdef", 6, 4, 4, "abcdef"},
        {"fits with room", "abcdef", 20, 0, 12, "abcdef"},
        {"one pixel short", "abcdef", 6, 3, 4, "ab..."},
        {"margin 12 cuts earlier", "abcdefghij", 8, 11, 12, "abcd..."},
        {"keeps one character even when that does not fit", "abcdef", 1, 0, 4, "a..."},
        {"one character that does not fit", "W", 0, 0, 4, "W..."},
        {"empty text is never shortened", "", 0, 0, 12, ""},
        {"a cut never splits a two-byte character", "ab\xc3\xa9" "cdefgh", 5, 4, 4, "ab..."},
        {"a lone two-byte character stays whole", "\xc3\xa9" "xyz", 1, 0, 4, "\xc3\xa9..."},
        {"ampersand counts as a character", "a&b&c&d", 7, 3, 4, "a&b..."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShortenToFit(metrics, c.text, c.widthInChars * w + c.extra, c.margin), c.expected) << c.name;
    }
}

TEST(ShortenToFit, ResultFitsWheneverMoreThanOneCharacterRemains) {
    const QFontMetrics metrics(TestFont());
    const std::string text = "The quick brown fox jumps over the lazy dog";
    for (int width = 0; width < 400; width += 7) {
        const std::string out = ShortenToFit(metrics, text, width, kCellMargin);
        if (out == text) {
            EXPECT_LE(TextExtent(metrics, text) + kCellMargin, width);
            continue;
        }
        ASSERT_GE(out.size(), 4u);
        EXPECT_EQ(out.substr(out.size() - 3), "...");
        const std::string kept = out.substr(0, out.size() - 3);
        EXPECT_EQ(text.compare(0, kept.size(), kept), 0) << "a prefix of the text is kept";
        const int dots = TextExtent(metrics, "...");
        if (kept.size() > 1) {
            EXPECT_LE(TextExtent(metrics, kept) + kCellMargin + dots, width) << "width " << width;
        }
        // One character more would not have fitted.
        if (kept.size() + 1 < text.size()) {
            EXPECT_GT(TextExtent(metrics, text.substr(0, kept.size() + 1)) + kCellMargin + dots, width);
        }
    }
}

}  // namespace
