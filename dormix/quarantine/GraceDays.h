#pragma once
// The grace period: key "GRACEDAYS" of section "DORMIX" in "VELTA.INI". Absent, empty or 0:
// accounts are deleted at once. A whole number from 1 up: deleted accounts are kept in
// quarantine, restorable, for that many days before they are purged.
#include <optional>
#include <string>

// The days of the grace period that value gives; none when it is not a whole number from 0 up.
std::optional<int> ParseGraceDays(const std::string& value);

// The grace period that "VELTA.INI" sets; none when its value cannot be read as one.
std::optional<int> ReadGraceDays();

// The refusal shown when the value cannot be read as a number of days.
std::string GraceDaysUnreadableText(const std::string& value);
