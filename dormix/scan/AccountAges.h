#pragma once
// How long the accounts have gone unused, counted in bands by the days since their last logon,
// beside how many accounts a threshold would delete: the picture of what a number of days means
// before one is chosen. Counted from the same judging pass as the dry run and the preview.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "dormix/scan/CsvFile.h"
#include "dormix/scan/JudgeAccounts.h"

enum class AgeBand {
    UpTo30,          // 0..30 days
    Days31To60,      // 31..60
    Days61To90,      // 61..90
    Days91To180,     // 91..180
    Days181To365,    // 181..365
    Years1To2,       // 366..730
    MoreThan2Years,  // 731 and more
    NoDate,          // never logged on, no date that can be read, or one ahead of the clock
};
inline constexpr std::size_t kAgeBandCount = 8;

// The band of an account: by its days since the last logon when it has a readable date.
AgeBand AgeBandOf(const AccountJudgement& account);
// The band's own label, as the table and the chart show it.
const char* AgeBandLabel(AgeBand band);
// The first and last day of a dated band; the last of the open band is its first day doubled.
std::int32_t AgeBandFirstDay(AgeBand band);
std::int32_t AgeBandLastDay(AgeBand band);

struct AccountAges {
    std::array<int, kAgeBandCount> counts{};
    int toDelete = 0;   // the accounts that the threshold would delete, pending ones among them
    std::int32_t days = 0;  // the threshold: dormant after more than this many days

    void count(const AccountJudgement& account) { ++counts[static_cast<std::size_t>(AgeBandOf(account))]; }
    int total() const;
};

// The table as the command line prints it: a heading, one line per band, each count right-aligned.
std::vector<std::string> AgesTableLines(const AccountAges& ages);
// The table as CSV rows: a header, then one row per band.
std::vector<CsvRow> AgesCsvRows(const AccountAges& ages);
// The line under the table and under the chart: what the threshold would delete.
std::string AgesThresholdText(const AccountAges& ages);
// One band with its count, for accessibility tools: "31-60 days: 2".
std::string AgeBandText(const AccountAges& ages, AgeBand band);
// Each band with its count, for accessibility tools: "up to 30 days: 4; 31-60 days: 0; ...".
std::string AgesDescription(const AccountAges& ages);
