#include "platform/FaultInjection.h"

#include <array>
#include <cerrno>

namespace platform::fault {

namespace {
constexpr std::size_t kSteps = 6;
std::array<int, kSteps> countdown{};  // 0 means disarmed
bool fired = false;

std::size_t IndexOf(Step step) { return static_cast<std::size_t>(step); }

bool AnyArmed() {
    for (int c : countdown)
        if (c > 0) return true;
    return false;
}
}  // namespace

namespace detail {
bool armed = false;

bool Consume(Step step) {
    int& c = countdown[IndexOf(step)];
    if (c <= 0) return false;
    if (--c > 0) return false;
    fired = true;
    armed = AnyArmed();
    return true;
}
}  // namespace detail

void FailAt(Step step, int n) {
    countdown[IndexOf(step)] = n > 0 ? n : 0;
    fired = false;
    detail::armed = AnyArmed();
}

void Reset() {
    countdown.fill(0);
    fired = false;
    detail::armed = false;
}

bool Fired() { return fired; }

int InjectedError(Step step) { return step == Step::Write ? ENOSPC : EIO; }

}  // namespace platform::fault
