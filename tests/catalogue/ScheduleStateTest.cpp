// A banner's schedule state on a fixed today, its words and the counts of a catalogue.
#include "marqueta/catalogue/ScheduleState.h"

#include <gtest/gtest.h>

namespace {

const CalendarDay kToday{2024, 6, 15};

TEST(ScheduleState, TableOfDatesAgainstAFixedToday) {
    struct Case {
        const char* begin;
        const char* end;
        ScheduleState state;
        const char* words;
    };
    using S = ScheduleState;
    const Case cases[] = {
        {"06/01/2024", "12/31/2024", S::Running, "Running until 12/31/2024"},
        {"06/15/2024", "06/23/2024", S::Running, "Running until 06/23/2024"},
        {"06/15/2024", "06/22/2024", S::EndsSoon, "Ends soon, on 06/22/2024"},
        {"1/1/1999", "6/15/2024", S::EndsSoon, "Ends soon, on 06/15/2024"},
        {"06/16/2024", "12/31/2024", S::Scheduled, "Scheduled from 06/16/2024"},
        {"06/16/2024", "06/17/2024", S::Scheduled, "Scheduled from 06/16/2024"},
        {"03/01/2024", "05/31/2024", S::Expired, "Expired on 05/31/2024"},
        {"03/01/2024", "06/14/2024", S::Expired, "Expired on 06/14/2024"},
        {"07/01/2024", "05/31/2024", S::Expired, "Expired on 05/31/2024"},  // never shows again
        {"", "", S::Running, "Running"},
        {"soon", "later", S::Running, "Running"},
        {"", "05/31/2024", S::Expired, "Expired on 05/31/2024"},
        {"07/01/2024", "", S::Scheduled, "Scheduled from 07/01/2024"},
        {"1/1/1999", "6/14/2024x", S::Expired, "Expired on 06/14/2024"},  // read as the sort reads it
        {"1/1/1999", "2/30/2024", S::Expired, "Expired on 03/01/2024"},   // runs on into March
        {"1/1/1999", "13/45/2038", S::Running, "Running until 12/31/2038"},
    };
    for (const Case& c : cases) {
        const Schedule s = ScheduleOf(c.begin, c.end, kToday);
        EXPECT_EQ(s.state, c.state) << c.begin << " - " << c.end;
        EXPECT_EQ(ScheduleDescription(s), c.words) << c.begin << " - " << c.end;
    }
}

TEST(ScheduleState, DaysCountAcrossMonthsYearsAndLeapDays) {
    EXPECT_EQ((CalendarDay{1970, 1, 1}.number()), 0);
    EXPECT_EQ((CalendarDay{2024, 3, 1}.number() - CalendarDay{2024, 2, 28}.number()), 2);
    EXPECT_EQ((CalendarDay{2023, 3, 1}.number() - CalendarDay{2023, 2, 28}.number()), 1);
    EXPECT_EQ((CalendarDay{2025, 1, 1}.number() - CalendarDay{2024, 1, 1}.number()), 366);
    // The local day of a date's own midnight is that day, whatever the time zone.
    EXPECT_EQ(ReadCalendarDay("3/31/2024")->text(), "03/31/2024");
    EXPECT_EQ(ReadCalendarDay("10/27/2024")->text(), "10/27/2024");
    EXPECT_FALSE(ReadCalendarDay("2024").has_value());
}

TEST(ScheduleState, EndBeforeBeginOnlyWhenBothNameADay) {
    EXPECT_TRUE(EndsBeforeBegin("06/02/2024", "06/01/2024"));
    EXPECT_TRUE(EndsBeforeBegin("1/1/2025", "12/31/2024"));
    EXPECT_FALSE(EndsBeforeBegin("06/01/2024", "06/01/2024"));
    EXPECT_FALSE(EndsBeforeBegin("06/01/2024", "06/02/2024"));
    EXPECT_FALSE(EndsBeforeBegin("", "06/01/2024"));
    EXPECT_FALSE(EndsBeforeBegin("06/01/2024", "never"));
}

TEST(ScheduleState, CountsAndSummaryOfACatalogue) {
    RowTable rows;
    const std::pair<const char*, const char*> periods[] = {
        {"06/01/2024", "12/31/2024"}, {"", ""}, {"01/01/2024", "12/31/2024"},
        {"06/01/2024", "06/20/2024"}, {"07/01/2024", "07/31/2024"}, {"01/01/2024", "05/31/2024"},
    };
    for (const auto& [begin, end] : periods) {
        Cells cells;
        cells[BeginDate] = begin;
        cells[EndDate] = end;
        rows.insertRow(rows.count(), cells, rows.count());
    }
    EXPECT_EQ(ScheduleSummary(CountSchedules(rows, kToday)), "6 banners: 3 running, 1 ends soon, 1 scheduled, 1 expired");
    EXPECT_EQ(ScheduleSummary(CountSchedules(rows, CalendarDay{2025, 1, 1})),
              "6 banners: 1 running, 0 ends soon, 0 scheduled, 5 expired");
    EXPECT_EQ(ScheduleSummary(CountSchedules(RowTable(), kToday)), "0 banners: 0 running, 0 ends soon, 0 scheduled, 0 expired");
    rows.clear();
    rows.insertRow(0);
    EXPECT_EQ(ScheduleSummary(CountSchedules(rows, kToday)), "1 banner: 1 running, 0 ends soon, 0 scheduled, 0 expired");
}

}  // namespace
