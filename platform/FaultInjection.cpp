#include "platform/FaultInjection.h"

#include <array>
#include <cerrno>

namespace platform::fault {

namespace {
constexpr std::size_t kSteps = 6;
std::array<int, kSteps> countdown{};  // 0 means disarmed
bool fired = false;
std::function<void()> beforeReplace;
int beforeReplaceTimes = 0;

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

void BeforeReplace(std::function<void()> action, int times) {
    beforeReplace = std::move(action);
    beforeReplaceTimes = beforeReplace ? times : 0;
}

void RunBeforeReplace() {
    if (beforeReplaceTimes <= 0) return;
    --beforeReplaceTimes;
    beforeReplace();
}

void Reset() {
    beforeReplace = nullptr;
    beforeReplaceTimes = 0;
    countdown.fill(0);
    fired = false;
    detail::armed = false;
}

bool Fired() { return fired; }

int InjectedError(Step step) { return step == Step::Write ? ENOSPC : EIO; }

}  // namespace platform::fault
