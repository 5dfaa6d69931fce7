#include <algorithm>

#include "common/Atol.h"
#include "marqueta/catalogue/CatalogueFile.h"

namespace {

long Clamp(long value, long low, long high) { return std::clamp(value, low, high); }

}  // namespace

std::time_t ParseDateText(const std::string& text, std::time_t now) {
    const auto firstSlash = text.find('/');
    if (firstSlash == std::string::npos) return now;
    const std::string rest = text.substr(firstSlash + 1);
    const auto secondSlash = rest.find('/');
    if (secondSlash == std::string::npos) return now;

    const long month = Clamp(AtolLike(text.substr(0, firstSlash)), 1, 12);
    const long day = Clamp(AtolLike(rest.substr(0, secondSlash)), 1, 31);
    const long year = Clamp(AtolLike(rest.substr(secondSlash + 1)), 1970, 2038);

    std::tm when{};
    when.tm_year = static_cast<int>(year - 1900);
    when.tm_mon = static_cast<int>(month - 1);
    when.tm_mday = static_cast<int>(day);  // past the month's end, mktime runs on into the next
    when.tm_isdst = -1;                    // daylight-saving time as the system decides
    return std::mktime(&when);
}

std::time_t ParseDateText(const std::string& text) { return ParseDateText(text, std::time(nullptr)); }
