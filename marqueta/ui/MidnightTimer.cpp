#include "marqueta/ui/MidnightTimer.h"

#include <algorithm>

#include "platform/Clock.h"

MidnightTimer::MidnightTimer(std::function<std::time_t()> clock, QObject* parent)
    : QObject(parent), clock_(std::move(clock)) {
    if (!clock_) clock_ = [] { return std::time(nullptr); };
    timer_.setSingleShot(true);
    // A coarse timer may be late by minutes over a whole day.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        emit midnight();
        arm();
    });
    arm();
}

qint64 MidnightTimer::UntilNextMidnight(std::time_t now) {
    std::tm parts{};
    if (!platform::LocalTime(now, parts)) return 3600 * 1000;
    parts.tm_mday += 1;
    parts.tm_hour = 0;
    parts.tm_min = 0;
    parts.tm_sec = 1;  // a second late, so that the day has surely turned
    parts.tm_isdst = -1;
    const std::time_t next = std::mktime(&parts);
    // A clock that stands still (or jumps) still gives a sane interval: a second to a day and more.
    return std::clamp<qint64>(static_cast<qint64>(next - now), 1, 25 * 3600) * 1000;
}

void MidnightTimer::arm() { timer_.start(std::chrono::milliseconds(UntilNextMidnight(clock_()))); }
