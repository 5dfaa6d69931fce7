#include "dormix/warn/WarnDecision.h"

#include <algorithm>

#include "dormix/scan/LastLogon.h"
#include "platform/Clock.h"

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

}  // namespace

std::time_t LocalDayOf(std::time_t moment) {
    return ReadLastLogon(platform::LocalTimeText(moment, "%Y/%m/%d")).then;
}

std::time_t AddDays(std::time_t day, std::int64_t count) {
    // Days and counts come from 32-bit settings: in 64 bits their sum cannot overflow.
    return LocalDayOf(static_cast<std::time_t>(static_cast<std::int64_t>(day) + count * kSecondsPerDay +
                                               kSecondsPerDay / 2));
}

bool WarnedAheadOfClock(std::optional<std::time_t> lastWarned, std::time_t now) {
    return lastWarned && *lastWarned > now;
}

WarnDecision DecideWarning(std::time_t lastLogon, std::int32_t days, std::int32_t warnDays,
                           std::optional<std::time_t> lastWarned, std::time_t now, bool isProtected) {
    const std::int32_t age = AgeInDays(now, lastLogon);
    const std::time_t turnsDormant = AddDays(lastLogon, std::int64_t{days} + 1);
    if (isProtected || age <= std::int64_t{days} - warnDays) return {WarnAction::Keep, turnsDormant};
    // A warning dated later than now was recorded while the clock ran ahead: it may lie after a
    // logon that came before it in truth, so it counts as never sent.
    const bool warnedSinceLogon =
        lastWarned && !WarnedAheadOfClock(lastWarned, now) && LocalDayOf(*lastWarned) > lastLogon;
    if (!warnedSinceLogon) return {WarnAction::Warn, std::max(turnsDormant, AddDays(LocalDayOf(now), warnDays))};
    const std::time_t warnedDay = LocalDayOf(*lastWarned);
    const std::time_t goesOn = std::max(turnsDormant, AddDays(warnedDay, warnDays));
    const bool due = age > days && AgeInDays(now, warnedDay) >= warnDays;
    return {due ? WarnAction::Delete : WarnAction::Keep, goesOn};
}

const char* WarnDaysRefusal(std::int32_t days, std::int32_t warnDays) {
    if (warnDays > 0 && warnDays >= days) {
        return "WARNDAYS in section DORMIX of VELTA.INI must be smaller than the number of days. Nothing was deleted.";
    }
    return nullptr;
}
