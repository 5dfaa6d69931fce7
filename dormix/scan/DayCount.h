#pragma once
// The number of days that the administrator gives: each front end reads it its own way, both here.
#include <cstdint>
#include <optional>
#include <string>

// The dialog's reading: the leading number, as the system reads a dialog item ("30 Days" is 30,
// "45abc" is 45; see ReadDialogInt), except that a number that goes on with ',' or '.' and a
// digit reads as no number, 0: "1,000" or "1.5" read short would judge nearly every account
// dormant.
std::int32_t ReadDialogDays(const std::string& text);

// The dialog's refusal of its text, null when it is accepted: for a number that goes on with ','
// or '.' and a digit, that whole numbers are written without separators; otherwise the
// refusal of ThresholdRefusal for what ReadDialogDays reads.
const char* DialogDaysRefusal(const std::string& text);

// The command line's reading: decimal digits alone, a whole number from 1 up that fits 32 bits;
// nullopt for anything else ("1,000", "1.5", "3e2", "0x10", "+30", "0", "-5", " 30").
std::optional<std::int32_t> ReadCommandLineDays(const std::string& text);

// The usage error of a --days value that ReadCommandLineDays refuses, naming the text.
std::string CommandLineDaysRefusal(const std::string& text);
