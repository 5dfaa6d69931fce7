// Quarantine, restore and purge are each killed at every pass of the fault seam; the same step run
// again must end exactly where the step run once without a kill ends.
#include <cstdio>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/quarantine/QuarantineSite.h"
#include "tests/reliability/FaultLoop.h"
#include "tests/support/Portable.h"

namespace reliability {
namespace {

const std::time_t kNow = LocalTime(2024, 3, 15, 12);
const std::time_t kLater = LocalTime(2024, 5, 1, 12);

struct Step {
    const char* name;
    std::function<void(QuarantineSite&)> before;  // run whole, not killed
    std::function<void(QuarantineSite&)> run;     // killed, then run again
};

// As a run of the program does it: first what an earlier run left half done, then the step.
void Settled(QuarantineSite& s, const std::function<void()>& step) {
    if (SettleQuarantine(s.install(), s.events, kNow)) step();
}

const std::vector<Step>& Steps() {
    static const std::vector<Step> steps = {
        {"quarantine", [](QuarantineSite& s) { PrepareQuarantine(s.install()); },
         [](QuarantineSite& s) { Settled(s, [&] { s.quarantine({"ann", "bob", "dan"}, kNow); }); }},
        {"restore", [](QuarantineSite& s) { PrepareQuarantine(s.install()); s.quarantine({"ann", "bob", "dan"}, kNow); },
         [](QuarantineSite& s) { RestoreAccount(s.install(), "bob", s.events, kNow); }},
        {"purge", [](QuarantineSite& s) { PrepareQuarantine(s.install()); s.quarantine({"ann", "bob", "dan"}, kNow); },
         [](QuarantineSite& s) {
             Settled(s, [&] { PurgeEntries(s.install(), ExpiredEntries(ListQuarantine(s.install()), 30, kLater), s.events); });
         }},
    };
    return steps;
}

TEST(QuarantineKill, ARerunAfterAKillAtAnyStepEndsAsOneUninterruptedRun) {
    SKIP_ON_WINDOWS("a kill at every step runs the operation in a forked child, and Windows has no fork");
    // In memory where the system offers it: every step syncs its files.
    const bool shm = ::access("/dev/shm", W_OK) == 0;
    const ScopedEnv tmp("TMPDIR", shm ? "/dev/shm" : std::filesystem::temp_directory_path().string());
    for (const Step& step : Steps()) {
        QuarantineSite reference;
        step.before(reference);
        step.run(reference);
        int kills = 0;
        for (int n = 1; n < 1000; ++n) {
            QuarantineSite site;
            step.before(site);
            const ChildEnd end = RunChildKilledAt(n, [&] { step.run(site); });
            ASSERT_NE(end, ChildEnd::Other) << step.name << " #" << n;
            step.run(site);
            EXPECT_EQ(TreeDifference(reference.files(), site.files()), "") << step.name << " #" << n;
            EXPECT_EQ(site.tervoxUsers(), reference.tervoxUsers()) << step.name << " #" << n;
            EXPECT_EQ(site.recorded(), reference.recorded()) << step.name << " #" << n;
            if (end == ChildEnd::Completed) break;
            ++kills;
        }
        EXPECT_GT(kills, 5) << step.name;
        std::printf("[ kills    ] %s of three accounts: %d kill points\n", step.name, kills);
    }
}

}  // namespace
}  // namespace reliability
