#pragma once
// With warnings on, what becomes of an account that is judged by its last logon: one decision
// that the scan acts on and the preview and the dry run only show.
#include <cstdint>
#include <ctime>
#include <optional>

enum class WarnAction {
    Keep,    // used recently enough, or warned and still inside the warning's days
    Warn,    // unused for more than T - W days and not warned since its last logon: warn it now
    Delete,  // dormant, and warned at least W days ago without a logon since
};

struct WarnDecision {
    WarnAction action = WarnAction::Keep;
    // The first local day on which a run may delete the account: the day it turns dormant, or W
    // days after its warning (after the warning to be sent now), whichever is later.
    std::time_t goesOn = 0;
};

// lastLogon is the local midnight of the last logon day, lastWarned the moment of the latest
// warning, if any. A warning counts only when it was sent on a later day than the last logon and
// not after now: a logon after a warning starts over, and a warning dated ahead of the clock
// counts as not sent. Protected accounts are never warned nor deleted.
WarnDecision DecideWarning(std::time_t lastLogon, std::int32_t days, std::int32_t warnDays,
                           std::optional<std::time_t> lastWarned, std::time_t now, bool isProtected);

// The local midnight of the day that holds moment (daylight saving time taken as not in effect,
// as logon days are read), and that day moved by a number of days.
std::time_t LocalDayOf(std::time_t moment);
std::time_t AddDays(std::time_t day, std::int64_t count);

// Whether the latest warning is dated later than now, so that it counts as not sent.
bool WarnedAheadOfClock(std::optional<std::time_t> lastWarned, std::time_t now);

// The refusal when the warning days leave no time between warning and dormancy; null when fine.
const char* WarnDaysRefusal(std::int32_t days, std::int32_t warnDays);
