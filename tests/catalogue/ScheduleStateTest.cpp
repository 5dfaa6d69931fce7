// A banner's schedule state on a fixed today, its words and the counts of a catalogue.
#include "marqueta/catalogue/ScheduleState.h"

#include <gtest/gtest.h>

namespace {

const CalendarDay kToday{2024, 6, 15};

TEST(ScheduleState, TableOfDatesAgainstAFixedToday) {
    const char* const cases[][3] = {  // begin, end, the state in words
        {"06/01/2024", "12/31/2024", "Running until 12/31/2024"},
        {"06/15/2024", "06/23/2024", "Running until 06/23/2024"},
        {"06/15/2024", "06/22/2024", "Ends soon, on 06/22/2024"},
        {"1/1/1999", "6/15/2024", "Ends soon, on 06/15/2024"},
        {"06/16/2024", "06/17/2024", "Scheduled from 06/16/2024"},
        {"07/01/2024", "", "Scheduled from 07/01/2024"},
        {"03/01/2024", "06/14/2024", "Expired on 06/14/2024"},
        {"07/01/2024", "05/31/2024", "Expired on 05/31/2024"},  // never shows again
        {"", "05/31/2024", "Expired on 05/31/2024"},
        {"1/1/1999", "2/30/2024", "Expired on 03/01/2024"},  // read as the sort reads it
        {"1/1/1999", "13/45/2038", "Running until 12/31/2038"},
        {"soon", "", "Running"},
    };
    for (const auto& [begin, end, words] : cases)
        EXPECT_EQ(ScheduleDescription(ScheduleOf(begin, end, kToday)), words) << begin << " - " << end;
    EXPECT_EQ(ScheduleOf("", "06/14/2024", kToday).state, ScheduleState::Expired);
    EXPECT_EQ(ScheduleOf("06/16/2024", "", kToday).state, ScheduleState::Scheduled);
    EXPECT_EQ(ScheduleOf("", "06/22/2024", kToday).state, ScheduleState::EndsSoon);
    EXPECT_EQ(ScheduleOf("", "", kToday).state, ScheduleState::Running);
    EXPECT_EQ((CalendarDay{2024, 3, 1}.number() - CalendarDay{2023, 3, 1}.number()), 366);
}

TEST(ScheduleState, DaysAreCountedByTheRealCalendarThroughFebruary) {
    const std::tuple<CalendarDay, const char*, const char*> cases[] = {  // today, end, the state in words
        {{2025, 2, 24}, "03/03/2025", "Ends soon, on 03/03/2025"},  // seven days: February has 28
        {{2024, 2, 24}, "03/03/2024", "Running until 03/03/2024"},  // eight: it has 29
        {{2024, 2, 29}, "02/28/2024", "Expired on 02/28/2024"},
        {{2025, 3, 1}, "02/28/2025", "Expired on 02/28/2025"},
    };
    for (const auto& [today, end, words] : cases) EXPECT_EQ(ScheduleDescription(ScheduleOf("", end, today)), words) << end;
}

TEST(ScheduleState, CountsAndSummaryOfACatalogue) {
    RowTable rows;
    for (const char* end : {"12/31/2024", "", "06/20/2024", "05/31/2024"}) {
        Cells cells;
        cells[EndDate] = end;
        rows.insertRow(rows.count(), cells, rows.count());
    }
    rows.setCell(1, BeginDate, "07/01/2024");
    EXPECT_EQ(ScheduleSummary(CountSchedules(rows, kToday)), "4 banners: 1 running, 1 ends soon, 1 scheduled, 1 expired");
    rows.removeRow(3);
    rows.removeRow(2);
    rows.removeRow(1);
    EXPECT_EQ(ScheduleSummary(CountSchedules(rows, kToday)), "1 banner: 1 running, 0 ends soon, 0 scheduled, 0 expired");
}

}  // namespace
