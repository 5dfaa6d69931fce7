#pragma once
// Drives one operation through every injected failure of the platform's fault seam, and through a
// kill at every pass of the seam, so that the tests can look at what each fault left on disk.
#include <functional>
#include <string>
#include <vector>

#include "platform/FaultInjection.h"

namespace reliability {

namespace fault = platform::fault;

// Every step of the seam, in the order a safe write passes them.
const std::vector<fault::Step>& AllSteps();
std::string StepName(fault::Step step);

struct FaultRun {
    fault::Step step;
    int n;       // the n-th pass of step was made to fail
    bool fired;  // false once the operation no longer reaches an n-th pass: it ran through
};

// For n = 1, 2, ...: prepare(), then operate() with the n-th pass of step failing, then check().
// Stops after the first run in which the failure did not fire. Returns the number of runs that
// failed: the operation's injection points of that step.
int ForEachInjectedFailure(fault::Step step, const std::function<void()>& prepare,
                           const std::function<void()>& operate, const std::function<void(const FaultRun&)>& check);

// Prints the injection points of one operation, one line per step, for the reliability record.
void ReportPoints(const std::string& operation, fault::Step step, int points);

enum class ChildEnd { Killed, Completed, Other };

// Forks; the child arms a kill at the n-th pass of the seam, runs operation and exits. How the
// child ended.
ChildEnd RunChildKilledAt(int n, const std::function<void()>& operation);

// Forks; the child may write no file beyond limit bytes (a write past it fails with EFBIG
// instead of killing the child) and exits with what operation returns. That exit code, or -1.
int RunChildWithFileSizeLimit(unsigned long limit, const std::function<int()>& operation);

}  // namespace reliability
