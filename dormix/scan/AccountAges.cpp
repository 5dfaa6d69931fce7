#include "dormix/scan/AccountAges.h"

#include <numeric>

namespace {

struct BandInfo {
    const char* label;
    std::int32_t firstDay;
    std::int32_t lastDay;
};

// The edges lie on whole days: 30 is still the first band, 365 the fifth, 366 the sixth.
constexpr BandInfo kBands[kAgeBandCount] = {
    {"up to 30 days", 0, 30},     {"31-60 days", 31, 60},       {"61-90 days", 61, 90},
    {"91-180 days", 91, 180},     {"181-365 days", 181, 365},   {"1-2 years", 366, 730},
    {"more than 2 years", 731, 1462}, {"never logged on / no date", -1, -1},
};

const BandInfo& Info(AgeBand band) { return kBands[static_cast<std::size_t>(band)]; }

}  // namespace

AgeBand AgeBandOf(const AccountJudgement& account) {
    // A logon dated ahead of the clock tells no time since it; no threshold deletes such an account.
    if (!account.lastLogon || account.daysSince < 0) return AgeBand::NoDate;
    for (std::size_t i = 0; i + 2 < kAgeBandCount; ++i)
        if (account.daysSince <= kBands[i].lastDay) return static_cast<AgeBand>(i);
    return AgeBand::MoreThan2Years;
}

const char* AgeBandLabel(AgeBand band) { return Info(band).label; }
std::int32_t AgeBandFirstDay(AgeBand band) { return Info(band).firstDay; }
std::int32_t AgeBandLastDay(AgeBand band) { return Info(band).lastDay; }

int AccountAges::total() const { return std::accumulate(counts.begin(), counts.end(), 0); }

std::vector<std::string> AgesTableLines(const AccountAges& ages) {
    constexpr std::size_t kLabelWidth = 28;
    constexpr std::size_t kCountWidth = 10;
    const auto line = [&](const std::string& label, const std::string& count) {
        return label + std::string(kLabelWidth - label.size(), ' ') +
               std::string(count.size() < kCountWidth ? kCountWidth - count.size() : 0, ' ') + count;
    };
    std::vector<std::string> lines{line("Last Logon", "Accounts")};
    for (std::size_t i = 0; i < kAgeBandCount; ++i) lines.push_back(line(kBands[i].label, std::to_string(ages.counts[i])));
    return lines;
}

std::vector<CsvRow> AgesCsvRows(const AccountAges& ages) {
    std::vector<CsvRow> rows{{"Last Logon", "Accounts"}};
    for (std::size_t i = 0; i < kAgeBandCount; ++i) rows.push_back({kBands[i].label, std::to_string(ages.counts[i])});
    return rows;
}

std::string AgesThresholdText(const AccountAges& ages) {
    return "More than " + std::to_string(ages.days) + " days: " + std::to_string(ages.toDelete) +
           " account(s) would be deleted.";
}

std::string AgeBandText(const AccountAges& ages, AgeBand band) {
    return std::string(AgeBandLabel(band)) + ": " + std::to_string(ages.counts[static_cast<std::size_t>(band)]);
}

std::string AgesDescription(const AccountAges& ages) {
    std::string text;
    for (std::size_t i = 0; i < kAgeBandCount; ++i) {
        if (i > 0) text += "; ";
        text += AgeBandText(ages, static_cast<AgeBand>(i));
    }
    return text + ". " + AgesThresholdText(ages);
}
