// Judging a large installation as the dry run does, on a cold cache: one thread beside the pool
// of threads, alternating, in the same run; and the peak memory of the preview's judging in a
// child process beside that of a child that does nothing. 1,000,000 accounts (100,000 dormant);
// DORMIX_BENCH_ACCOUNTS gives another number, DORMIX_BENCH_ROUNDS the rounds (2).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/scan/LargeSite.h"
#include "dormix/scan/AccountAges.h"
#include "dormix/scan/RunPlan.h"

namespace {

const std::time_t kNow = LocalTime(2024, 3, 15, 23);
constexpr std::int32_t kDays = 30;
constexpr int kDormantEvery = 10;

int FromEnvironment(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text && std::atoi(text) > 0 ? std::atoi(text) : fallback;
}

// Every folder and "user.ini" read from the disk again, as after a restart.
void DropPageCache() {
    Shell("sync");
    FILE* control = std::fopen("/proc/sys/vm/drop_caches", "w");
    const bool dropped = control && std::fputs("3\n", control) >= 0;
    if (!control || std::fclose(control) != 0 || !dropped) {
        std::fprintf(stderr, "the page cache cannot be dropped here: these figures are of a warm cache\n");
        std::exit(1);
    }
}

// The dry run's judging: each account counted by age, the accounts not merely kept held.
double DryRunJudging(const DormixInstallation& install, unsigned threads, std::size_t expectedHeld) {
    DropPageCache();
    AccountAges ages;
    std::size_t held = 0;
    const double seconds = Seconds([&] {
        held = JudgeAccounts(kDays, install.paths(), ProtectedAccounts{}, kNow, [&](const AccountJudgement& account) {
            ages.count(account);
            return account.verdict != Verdict::Kept;
        }, JudgingWork{threads, {}}).kept.size();
    });
    if (held != expectedHeld) std::fprintf(stderr, "held %zu accounts, not %zu\n", held, expectedHeld);
    return seconds;
}

}  // namespace

int main() {
    const int accounts = FromEnvironment("DORMIX_BENCH_ACCOUNTS", 1000000);
    const int rounds = FromEnvironment("DORMIX_BENCH_ROUNDS", 2);
    const std::size_t dormant = static_cast<std::size_t>((accounts + kDormantEvery - 1) / kDormantEvery);
    std::printf("Laying out %d accounts (%zu dormant)...\n", accounts, dormant);
    std::fflush(stdout);
    const TempDir dir;
    DormixInstallation install(dir.path().string() + "/site");
    std::printf("laid out in %.1f s\n", Seconds([&] { LayOutStraight(install, accounts, kDormantEvery, kNow, false); }));
    std::fflush(stdout);

    const unsigned pool = DefaultJudgingThreads();
    double one = 0, several = 0;
    for (int round = 0; round < rounds; ++round) {
        one += DryRunJudging(install, 1, dormant);
        several += DryRunJudging(install, pool, dormant);
    }
    const std::string poolLine = "dry-run judging, " + std::to_string(pool) + " threads";
    std::printf("%-58s %9s %9s\n", "judging, cold cache, mean of rounds", "seconds", "ratio");
    std::printf("%-58s %9.2f %9s\n", "dry-run judging, 1 thread", one / rounds, "1.00");
    std::printf("%-58s %9.2f %9.2f\n", poolLine.c_str(), several / rounds, several / one);

    const ChildRun idle = InChild([] {});
    const ChildRun preview = InChild([&] {
        AccountAges ages;
        const RunPlan next = PlanRun(kDays, install.paths(), ProtectedAccounts{}, kNow, nullptr, &ages);
        if (next.accounts.size() != dormant) std::fprintf(stderr, "preview holds %zu\n", next.accounts.size());
    });
    std::printf("%-58s %9s %9s\n", "peak memory, warm cache", "MiB", "ratio");
    std::printf("%-58s %9.1f %9s\n", "a child that does nothing", idle.peakKiB / 1024.0, "1.00");
    std::printf("%-58s %9.1f %9.2f\n", "the preview's judging", preview.peakKiB / 1024.0,
                static_cast<double>(preview.peakKiB) / static_cast<double>(idle.peakKiB));
    std::fflush(stdout);
    return 0;
}
