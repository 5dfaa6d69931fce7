// A quarantining run and a purge of large installations beside plain tools doing the same work in
// the same run: every "user.ini" read, the dormant folders moved with mv, both key files copied;
// and rm -rf of the quarantined folders. The run is the scan itself under a grace period, in a
// child process whose peak memory is measured. The case of 1,000,000 accounts runs only when
// DORMIX_BENCH_MILLION is set ("only": that case alone).
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "bench/scan/AnswerAlways.h"
#include "bench/scan/LargeSite.h"
#include "dormix/quarantine/Quarantine.h"
#include "dormix/scan/ScanDormantAccounts.h"

namespace {

const std::time_t kNow = LocalTime(2024, 3, 15, 23);
const std::time_t kLater = LocalTime(2024, 6, 1, 12);

void Report(int accounts, int dormantEvery) {
    std::printf("Laying out twice %d accounts (%d dormant)...\n", accounts, accounts / dormantEvery);
    std::fflush(stdout);
    const TempDir dir;
    DormixInstallation plainSite(dir.path().string() + "/plain");
    DormixInstallation site(dir.path().string() + "/dormix");
    const double layout = Seconds([&] {
        const std::vector<std::string> dormant = LayOutStraight(plainSite, accounts, dormantEvery, kNow);
        LayOutStraight(site, accounts, dormantEvery, kNow);
        FILE* list = std::fopen(dir.file("dormant.list").c_str(), "w");
        for (const std::string& folder : dormant) std::fprintf(list, "%s\n", folder.c_str());
        std::fclose(list);
        Shell("sync");
    });
    std::printf("laid out in %.1f s\n", layout);
    std::fflush(stdout);

    const std::string user = plainSite.userFolder();
    const std::string day = plainSite.paths().installPath + "/Quarantine/2024-03-15";
    const double plain = Seconds([&] {
        Shell("find '" + user + "' -mindepth 2 -maxdepth 2 -name user.ini -exec cat {} + > /dev/null");
        Shell("mkdir -p '" + day + "' && xargs mv -t '" + day + "' < '" + dir.file("dormant.list") + "'");
        Shell("cp '" + user + "/USER.KEY' '" + user + "/USER.KEY.copy' && cp '" + user + "/USERTIME.KEY' '" + user +
              "/USERTIME.KEY.copy' && sync");
    });
    Shell("sync");
    const double rmrf = Seconds([&] { Shell("rm -rf '" + day + "' && sync"); });

    // The settings of a grace period of 30 days, as the scan reads them.
    Shell("mkdir -p '" + dir.file("windows") + "' && printf '[DORMIX]\\r\\nGRACEDAYS=30\\r\\n' > '" +
          dir.file("windows/VELTA.INI") + "'");
    const ScopedEnv windir("WINDIR", dir.file("windows"));
    const std::string path = site.paths().installPath;
    const ChildRun run = InChild([&] {
        AnswerAlways boxes(platform::Answer::No);
        const ScanReport report = ScanDormantAccounts(30, site.paths(), boxes, kNow);
        if (static_cast<int>(report.deleted.size()) != accounts / dormantEvery)
            std::fprintf(stderr, "quarantined %zu\n", report.deleted.size());
    });
    Shell("sync");
    const ChildRun purge = InChild([&] {
        const PurgeRun purged = PurgeEntries(path, ExpiredEntries(ListQuarantine(path), 30, kLater), QuarantineEvents{});
        if (static_cast<int>(purged.purged.size()) != accounts / dormantEvery)
            std::fprintf(stderr, "purged %zu\n", purged.purged.size());
        Shell("sync");
    });

    std::printf("%-62s %9s %9s %9s\n", "accounts, warm cache", "seconds", "ratio", "peak MiB");
    std::printf("%-62s %9.2f %9s\n", "plain tools: read user.ini, mv dormant, cp+sync keys", plain, "1.00");
    std::printf("%-62s %9.2f %9.2f %9.1f\n", "quarantining run (the scan, GRACEDAYS=30)", run.seconds,
                run.seconds / plain, run.peakKiB / 1024.0);
    std::printf("%-62s %9.2f %9s\n", "plain rm -rf of the quarantined folders + sync", rmrf, "1.00");
    std::printf("%-62s %9.2f %9.2f %9.1f\n", "purge of the quarantined accounts", purge.seconds, purge.seconds / rmrf,
                purge.peakKiB / 1024.0);
    std::fflush(stdout);
}

}  // namespace

int main() {
    // DORMIX_BENCH_MILLION=only: the million alone, which takes about an hour here.
    const char* million = std::getenv("DORMIX_BENCH_MILLION");
    if (!million || std::string(million) != "only") Report(100000, 10);
    if (million) Report(1000000, 10);
    return 0;
}
