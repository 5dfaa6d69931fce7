#include "dormix/scan/DayCount.h"

#include "dormix/scan/LineEscape.h"
#include "dormix/scan/ReadDialogInt.h"
#include "dormix/scan/Threshold.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Whether the leading number, as ReadDialogInt finds it (blanks, a minus sign, digits), goes on
// with ',' or '.' and a digit.
bool NumberGoesOn(const std::string& text) {
    std::size_t end = 0;
    while (end < text.size() && (text[end] == ' ' || text[end] == '\t')) ++end;
    if (end < text.size() && text[end] == '-') ++end;
    const std::size_t digits = end;
    while (end < text.size() && IsDigit(text[end])) ++end;
    return end > digits && end + 1 < text.size() && (text[end] == ',' || text[end] == '.') && IsDigit(text[end + 1]);
}

}  // namespace

std::int32_t ReadDialogDays(const std::string& text) { return NumberGoesOn(text) ? 0 : ReadDialogInt(text); }

const char* DialogDaysRefusal(const std::string& text) {
    if (NumberGoesOn(text)) return "Please enter a whole number of days, written without separators (1000, not 1,000).";
    return ThresholdRefusal(ReadDialogDays(text));
}

std::optional<std::int32_t> ReadCommandLineDays(const std::string& text) {
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        if (!IsDigit(c)) return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > INT32_MAX) return std::nullopt;
    }
    if (value < 1) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::string CommandLineDaysRefusal(const std::string& text) {
    return "--days takes a whole number from 1 up, not \"" + EscapedForLine(text) + "\".";
}
