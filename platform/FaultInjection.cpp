#include "platform/FaultInjection.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>

namespace platform::fault {

namespace {
constexpr std::size_t kSteps = 10;
std::array<int, kSteps> countdown{};  // 0 means disarmed
bool fired = false;
std::function<void()> beforeReplace;
int beforeReplaceTimes = 0;
std::function<void()> beforeDescend;
std::function<void()> afterOpenRead;
int crashCountdown = 0;  // 0 means no crash pending

std::size_t IndexOf(Step step) { return static_cast<std::size_t>(step); }

void CrashNow() {
#ifdef SIGKILL
    std::raise(SIGKILL);
#endif
    std::_Exit(137);
}

bool AnyArmed() {
    if (crashCountdown > 0) return true;
    for (int c : countdown)
        if (c > 0) return true;
    return false;
}
}  // namespace

namespace detail {
bool armed = false;

bool Consume(Step step) {
    const bool onlyReads = step == Step::OpenRead || step == Step::Read || step == Step::List;
    if (!onlyReads && crashCountdown > 0 && --crashCountdown == 0) CrashNow();
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

void BeforeDescend(std::function<void()> action) { beforeDescend = std::move(action); }

void RunBeforeDescend() {
    if (beforeDescend) beforeDescend();
}

void CrashAt(int n) {
    crashCountdown = n > 0 ? n : 0;
    detail::armed = AnyArmed();
}

void AfterOpenRead(std::function<void()> action) { afterOpenRead = std::move(action); }

void RunAfterOpenRead() {
    if (!afterOpenRead) return;
    const std::function<void()> action = std::move(afterOpenRead);
    afterOpenRead = nullptr;
    action();
}

void Reset() {
    crashCountdown = 0;
    beforeReplace = nullptr;
    beforeReplaceTimes = 0;
    beforeDescend = nullptr;
    afterOpenRead = nullptr;
    countdown.fill(0);
    fired = false;
    detail::armed = false;
}

bool Fired() { return fired; }

bool Armed() { return detail::armed || beforeReplace || beforeDescend || afterOpenRead; }

#ifdef _WIN32
// The system's own codes, since the layer's errors on Windows are GetLastError values.
int InjectedError(Step step) { return step == Step::Write ? 112 /* ERROR_DISK_FULL */ : 29 /* ERROR_WRITE_FAULT */; }
#else
int InjectedError(Step step) { return step == Step::Write ? ENOSPC : EIO; }
#endif

}  // namespace platform::fault
