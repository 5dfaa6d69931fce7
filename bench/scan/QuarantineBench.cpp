// A quarantining run and a purge of large installations beside plain tools doing the same work in
// the same run: every "user.ini" read, the dormant folders moved with mv, both key files copied;
// and rm -rf of the quarantined folders. The run's peak memory is measured in a child process.
// The case of 1,000,000 accounts runs only when DORMIX_BENCH_MILLION is set.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/scan/LargeSite.h"
#include "dormix/quarantine/Quarantine.h"
#include "dormix/scan/JudgeAccounts.h"

namespace {

const std::time_t kNow = LocalTime(2024, 3, 15, 23);
const std::time_t kLater = LocalTime(2024, 6, 1, 12);

struct ChildRun {
    double seconds = 0;
    long peakKiB = 0;
};

// Runs work in a child process: its time, and its peak resident memory.
ChildRun InChild(const std::function<void()>& work) {
    ChildRun run;
    run.seconds = Seconds([&] {
        const pid_t child = ::fork();
        if (child == 0) {
            work();
            ::_exit(0);
        }
        int status = 0;
        struct rusage usage {};
        ::wait4(child, &status, 0, &usage);
        run.peakKiB = usage.ru_maxrss;
    });
    return run;
}

// What the quarantining run does: judge every account, then quarantine the dormant ones.
void QuarantiningRun(const DormixInstallation& install) {
    const std::string path = install.paths().installPath;
    PrepareQuarantine(path);
    std::vector<AccountToQuarantine> dormant;
    for (const AccountJudgement& account : JudgeAccounts(30, install.paths(), {}, kNow))
        if (account.verdict == Verdict::Dormant) dormant.push_back({account.folder, account.userName, account.lastLogon});
    QuarantineAccounts(path, dormant, kNow, false, QuarantineEvents{});
}

void Report(int accounts, int dormantEvery) {
    std::printf("Laying out %d accounts (%d dormant)...\n", accounts, accounts / dormantEvery);
    std::fflush(stdout);
    const LargeSite site(accounts, dormantEvery, kNow);
    Shell("sync");

    DormixInstallation plainSite = site.copy();
    const std::string list = site.dormantList(plainSite);
    const std::string user = plainSite.userFolder();
    const std::string day = plainSite.paths().installPath + "/Quarantine/2024-03-15";
    const double plain = Seconds([&] {
        Shell("find '" + user + "' -mindepth 2 -maxdepth 2 -name user.ini -exec cat {} + > /dev/null");
        Shell("mkdir -p '" + day + "' && xargs mv -t '" + day + "' < '" + list + "'");
        Shell("cp '" + user + "/USER.KEY' '" + user + "/USER.KEY.copy' && cp '" + user + "/USERTIME.KEY' '" + user +
              "/USERTIME.KEY.copy' && sync");
    });
    Shell("sync");
    const double rmrf = Seconds([&] { Shell("rm -rf '" + day + "' && sync"); });

    const DormixInstallation install = site.copy();
    const ChildRun run = InChild([&] { QuarantiningRun(install); });
    Shell("sync");
    const ChildRun purge = InChild([&] {
        const std::string path = install.paths().installPath;
        PurgeEntries(path, ExpiredEntries(ListQuarantine(path), 30, kLater), QuarantineEvents{});
        Shell("sync");
    });
    Shell("rm -rf '" + site.run() + "'");

    std::printf("%-62s %9s %9s %9s\n", "accounts, warm cache", "seconds", "ratio", "peak MiB");
    std::printf("%-62s %9.2f %9s\n", "plain tools: read user.ini, mv dormant, cp+sync keys", plain, "1.00");
    std::printf("%-62s %9.2f %9.2f %9.1f\n", "quarantining run", run.seconds, run.seconds / plain, run.peakKiB / 1024.0);
    std::printf("%-62s %9.2f %9s\n", "plain rm -rf of the quarantined folders", rmrf, "1.00");
    std::printf("%-62s %9.2f %9.2f %9.1f\n", "purge of the quarantined accounts", purge.seconds, purge.seconds / rmrf,
                purge.peakKiB / 1024.0);
    std::fflush(stdout);
}

}  // namespace

int main() {
    Report(100000, 10);
    if (std::getenv("DORMIX_BENCH_MILLION")) Report(1000000, 10);
    return 0;
}
