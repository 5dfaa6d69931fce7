#pragma once
// The grace period: key "GRACEDAYS" of section "DORMIX" in "VELTA.INI". Absent, empty or 0:
// accounts are deleted at once. A whole number from 1 up: deleted accounts are kept in
// quarantine, restorable, for that many days before they are purged.
#include <optional>
#include <string>

// The most days that GRACEDAYS and WARNDAYS take: a hundred years, far beyond any sound period,
// so that no day that one is added to can leave the calendar.
inline constexpr int kMaxSettingDays = 36500;

// The days that a setting of section "DORMIX" gives (GRACEDAYS, WARNDAYS): digits alone, from 0
// up to kMaxSettingDays, blanks around them passed over; empty gives 0. None for anything else.
std::optional<int> ParseSettingDays(const std::string& value);

// The days of the grace period that value gives; none when ParseSettingDays takes no number.
inline std::optional<int> ParseGraceDays(const std::string& value) { return ParseSettingDays(value); }

// The grace period that "VELTA.INI" sets; none when its value cannot be read as one.
std::optional<int> ReadGraceDays();

// The refusal shown when the value cannot be read as a number of days.
std::string GraceDaysUnreadableText(const std::string& value);
