#include "marqueta/catalogue/ScheduleState.h"

#include <cstdio>
#include <limits>

#include "marqueta/catalogue/CatalogueFile.h"
#include "platform/Clock.h"

namespace {

// Days from 1 January 1970 to the given day of the proleptic Gregorian calendar.
long DaysFromCivil(long year, long month, long day) {
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yearOfEra = year - era * 400;
    const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::string Described(const char* words, const std::optional<CalendarDay>& day) {
    return day ? std::string(words) + " " + day->text() : std::string();
}

}  // namespace

long CalendarDay::number() const { return DaysFromCivil(year, month, day); }

std::string CalendarDay::text() const {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d", month, day, year);
    return buffer;
}

CalendarDay LocalDayOf(std::time_t moment) {
    std::tm parts{};
    if (!platform::LocalTime(moment, parts)) return {};
    return CalendarDay{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday};
}

std::optional<CalendarDay> ReadCalendarDay(const std::string& dateText) {
    // The reader stands `now` in for a text without two slashes; no real day lies so far back.
    constexpr std::time_t kNoDay = std::numeric_limits<std::time_t>::min();
    const std::time_t midnight = ParseDateText(dateText, kNoDay);
    if (midnight == kNoDay) return std::nullopt;
    return LocalDayOf(midnight);
}

Schedule ScheduleOf(const std::string& beginDate, const std::string& endDate, const CalendarDay& today) {
    Schedule s;
    s.begin = ReadCalendarDay(beginDate);
    s.end = ReadCalendarDay(endDate);
    const long now = today.number();
    if (s.end && s.end->number() < now) s.state = ScheduleState::Expired;
    else if (s.begin && s.begin->number() > now) s.state = ScheduleState::Scheduled;
    else if (s.end && s.end->number() - now <= kEndsSoonDays) s.state = ScheduleState::EndsSoon;
    else s.state = ScheduleState::Running;
    return s;
}

std::string ScheduleDescription(const Schedule& schedule) {
    switch (schedule.state) {
    case ScheduleState::Expired: return Described("Expired on", schedule.end);
    case ScheduleState::Scheduled: return Described("Scheduled from", schedule.begin);
    case ScheduleState::EndsSoon: return Described("Ends soon, on", schedule.end);
    case ScheduleState::Running: break;
    }
    return schedule.end ? Described("Running until", schedule.end) : std::string("Running");
}

bool EndsBeforeBegin(const std::string& beginDate, const std::string& endDate) {
    const std::optional<CalendarDay> begin = ReadCalendarDay(beginDate);
    const std::optional<CalendarDay> end = ReadCalendarDay(endDate);
    return begin && end && end->number() < begin->number();
}

ScheduleCounts CountSchedules(const RowTable& rows, const CalendarDay& today) {
    ScheduleCounts counts;
    for (int position = 0; position < rows.count(); ++position) {
        switch (ScheduleOf(rows.cell(position, BeginDate), rows.cell(position, EndDate), today).state) {
        case ScheduleState::Running: ++counts.running; break;
        case ScheduleState::EndsSoon: ++counts.endsSoon; break;
        case ScheduleState::Scheduled: ++counts.scheduled; break;
        case ScheduleState::Expired: ++counts.expired; break;
        }
        ++counts.total;
    }
    return counts;
}

std::string ScheduleSummary(const ScheduleCounts& c) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "%d %s: %d running, %d ends soon, %d scheduled, %d expired", c.total,
                  c.total == 1 ? "banner" : "banners", c.running, c.endsSoon, c.scheduled, c.expired);
    return buffer;
}
