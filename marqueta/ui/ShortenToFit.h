#pragma once
// Cell texts that do not fit their column are cut and end in "...".
#include <string>

class QFontMetrics;

// Margins: the first cell keeps 4 pixels to spare, every further cell 12.
inline constexpr int kFirstCellMargin = 4;
inline constexpr int kCellMargin = 12;

// Width of the 8-bit text as drawn in the font.
int TextExtent(const QFontMetrics& metrics, const std::string& text);

// text itself when it is empty or its extent + margin is at most width; else the longest
// prefix (at least one character) whose extent + margin + the extent of "..." is at most
// width, followed by "...". A cut never splits a multibyte character.
std::string ShortenToFit(const QFontMetrics& metrics, const std::string& text, int width, int margin);
