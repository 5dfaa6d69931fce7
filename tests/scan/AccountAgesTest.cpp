// The accounts counted by time since their last logon: each band's edges, and the counts taken
// in the dry run's own judging pass beside the number the threshold would delete.
#include <gtest/gtest.h>

#include "dormix/scan/AccountAges.h"
#include "dormix/scan/RunPlan.h"
#include "tests/scan/fixture/DormixInstallation.h"
#include "tests/support/TempDir.h"

TEST(AccountAges, EachAccountFallsInItsBandAndTheCountsAreTheDryRuns) {
    TempDir dir;
    DormixInstallation install{dir.path().string()};
    const std::time_t now = LocalTime(2024, 3, 15, 23);
    const auto ago = [now](int days) { return std::optional<std::string>(LogonDaysBefore(now, days)); };
    struct Case {
        const char* name;
        std::optional<std::string> logon;
        AgeBand band;
    };
    const Case cases[] = {
        {"today", ago(0), AgeBand::UpTo30},          {"d30", ago(30), AgeBand::UpTo30},
        {"d31", ago(31), AgeBand::Days31To60},       {"d60", ago(60), AgeBand::Days31To60},
        {"d61", ago(61), AgeBand::Days61To90},       {"d90", ago(90), AgeBand::Days61To90},
        {"d91", ago(91), AgeBand::Days91To180},      {"d180", ago(180), AgeBand::Days91To180},
        {"d181", ago(181), AgeBand::Days181To365},   {"d365", ago(365), AgeBand::Days181To365},
        {"d366", ago(366), AgeBand::Years1To2},      {"d730", ago(730), AgeBand::Years1To2},
        {"d731", ago(731), AgeBand::MoreThan2Years}, {"d9000", ago(9000), AgeBand::MoreThan2Years},
        {"never", std::string(), AgeBand::NoDate},   {"nodate", std::string("1999/x/5"), AgeBand::NoDate},
        {"short", std::string("1999/5"), AgeBand::NoDate}, {"noini", std::nullopt, AgeBand::NoDate},
        {"ahead", ago(-2), AgeBand::NoDate},
    };
    std::array<int, kAgeBandCount> expected{};
    for (const Case& c : cases) {
        const std::string folder = install.addAccount(c.name, c.logon);
        EXPECT_EQ(AgeBandOf(JudgeAccount(folder, 90, now)), c.band) << c.name;
        ++expected[static_cast<std::size_t>(c.band)];
    }
    for (const std::int32_t days : {30, 90, 365}) {
        SCOPED_TRACE(days);
        AccountAges ages;
        const RunPlan next = PlanRun(days, install.paths(), ProtectedAccounts{}, now, nullptr, &ages);
        EXPECT_EQ(ages.counts, expected);
        EXPECT_EQ(ages.days, days);
        EXPECT_EQ(ages.toDelete, next.toDelete());
        EXPECT_EQ(ages.total(), static_cast<int>(std::size(cases)));
    }
    const char* const labels[] = {"up to 30 days", "31-60 days", "61-90 days", "91-180 days", "181-365 days",
                                  "1-2 years", "more than 2 years", "never logged on / no date"};
    for (std::size_t i = 0; i < kAgeBandCount; ++i) EXPECT_STREQ(AgeBandLabel(static_cast<AgeBand>(i)), labels[i]);
}
