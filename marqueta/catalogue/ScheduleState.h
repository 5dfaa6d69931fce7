#pragma once
// Where a banner stands in its display period on a given day: running, ending soon, scheduled or
// expired. One judge for the list's colours, its tooltips, the status-bar counts and the
// editor's check that the period does not end before it begins.
#include <ctime>
#include <optional>
#include <string>

#include "marqueta/catalogue/RowTable.h"

// A local calendar day.
struct CalendarDay {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31

    // Days since 1 January 1970, so that days subtract as numbers.
    long number() const;
    // "%m/%d/%Y", as the editor writes dates.
    std::string text() const;
};

// The local day of a moment.
CalendarDay LocalDayOf(std::time_t moment);

// The day a catalogue date stands for, read as the sort and the editor read it; none for a text
// without two slashes, which names no day.
std::optional<CalendarDay> ReadCalendarDay(const std::string& dateText);

enum class ScheduleState : int { Running = 0, EndsSoon, Scheduled, Expired };

// A running banner whose last day is at most this many days ahead ends soon.
inline constexpr long kEndsSoonDays = 7;

struct Schedule {
    ScheduleState state = ScheduleState::Running;
    std::optional<CalendarDay> begin;
    std::optional<CalendarDay> end;
};

// The banner's state on today: expired once its end lies before today, scheduled while its begin
// lies after today, ending soon while it runs and ends within kEndsSoonDays, else running. A
// date that names no day limits nothing.
Schedule ScheduleOf(const std::string& beginDate, const std::string& endDate, const CalendarDay& today);

// The state in words with the day it turns on, e.g. "Expired on 05/31/2024".
std::string ScheduleDescription(const Schedule& schedule);

// True when both texts name a day and the end's day lies before the begin's.
bool EndsBeforeBegin(const std::string& beginDate, const std::string& endDate);

struct ScheduleCounts {
    int total = 0;
    int running = 0;
    int endsSoon = 0;
    int scheduled = 0;
    int expired = 0;
};

ScheduleCounts CountSchedules(const RowTable& rows, const CalendarDay& today);

// "6 banners: 3 running, 1 ends soon, 1 scheduled, 1 expired".
std::string ScheduleSummary(const ScheduleCounts& counts);
