#include "dormix/quarantine/GraceDays.h"

#include <charconv>

#include "common/NextToken.h"
#include "common/VeltaSettings.h"

std::optional<int> ParseSettingDays(const std::string& value) {
    const std::string text = TrimSpace(value);
    if (text.empty()) return 0;
    int days = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, days);
    // Digits only: "30d", "1,000" or "-5" must not be read as some other period.
    if (error != std::errc() || stop != end || text.front() < '0' || text.front() > '9') return std::nullopt;
    if (days < 0 || days > kMaxSettingDays) return std::nullopt;
    return days;
}

std::optional<int> ReadGraceDays() { return ParseGraceDays(ReadVeltaSetting("DORMIX", "GRACEDAYS")); }

std::string GraceDaysUnreadableText(const std::string& value) {
    return "The grace period (GRACEDAYS in section DORMIX of VELTA.INI) must be a whole number of days up to " +
           std::to_string(kMaxSettingDays) + ", 0 for none, not \"" + value + "\". Nothing was deleted.";
}
