#include "tests/reliability/FaultLoop.h"

#include <csignal>
#include <cstdio>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>


namespace reliability {

namespace {
// No operation here passes the seam anywhere near this often; reaching it means a loop that
// never ends.
constexpr int kMaxRuns = 10000;
}  // namespace

const std::vector<fault::Step>& AllSteps() {
    static const std::vector<fault::Step> steps = {fault::Step::Create, fault::Step::Write,  fault::Step::Flush,
                                                   fault::Step::Close,  fault::Step::Rename, fault::Step::SyncDir};
    return steps;
}

std::string StepName(fault::Step step) {
    switch (step) {
    case fault::Step::Create: return "create";
    case fault::Step::Write: return "write";
    case fault::Step::Flush: return "sync";
    case fault::Step::Close: return "close";
    case fault::Step::Rename: return "rename";
    case fault::Step::SyncDir: return "folder sync";
    case fault::Step::Remove: return "removal";
    case fault::Step::OpenRead: return "open for reading";
    case fault::Step::Read: return "read";
    case fault::Step::List: return "folder listing";
    }
    return "?";
}

int ForEachInjectedFailure(fault::Step step, const std::function<void()>& prepare,
                           const std::function<void()>& operate, const std::function<void(const FaultRun&)>& check) {
    for (int n = 1; n <= kMaxRuns; ++n) {
        fault::Reset();
        prepare();
        fault::FailAt(step, n);
        operate();
        const bool fired = fault::Fired();
        fault::Reset();
        check(FaultRun{step, n, fired});
        if (!fired) return n - 1;
    }
    ADD_FAILURE() << "the operation still fails at pass " << kMaxRuns << " of step " << StepName(step);
    return kMaxRuns;
}

void ReportPoints(const std::string& operation, fault::Step step, int points) {
    std::printf("[ points   ] %s, %s: %d\n", operation.c_str(), StepName(step).c_str(), points);
}

#ifdef _WIN32

// Windows has no fork: the tests that need a child process are skipped there.
ChildEnd RunChildKilledAt(int, const std::function<void()>&) { return ChildEnd::Other; }
int RunChildWithFileSizeLimit(unsigned long, const std::function<int()>&) { return -1; }

#else

ChildEnd RunChildKilledAt(int n, const std::function<void()>& operation) {
    std::fflush(nullptr);  // nothing buffered may be written twice
    const pid_t child = ::fork();
    if (child < 0) return ChildEnd::Other;
    if (child == 0) {
        fault::Reset();
        fault::CrashAt(n);
        operation();
        ::_exit(0);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child) return ChildEnd::Other;
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) return ChildEnd::Killed;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return ChildEnd::Completed;
    return ChildEnd::Other;
}

int RunChildWithFileSizeLimit(unsigned long limit, const std::function<int()>& operation) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit rl{limit, limit};
        if (::setrlimit(RLIMIT_FSIZE, &rl) != 0) ::_exit(255);
        ::_exit(operation());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

#endif

}  // namespace reliability
