// The size of a real installation, timed against what plain tools take for the same work.
#include "bench/scan/LargeScan.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/scan/AnswerAlways.h"
#include "bench/scan/LargeSite.h"
#include "dormix/keyindex/RemoveUserKeys.h"
#include "dormix/keyindex/RemoveUserKeysBatch.h"
#include "dormix/scan/ScanDormantAccounts.h"
#include "tests/scan/fixture/DormixInstallation.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

constexpr int kAccounts = 100000;
constexpr int kDormantEvery = 10;    // 10,000 dormant
constexpr int kOneAtATimeSample = 20;  // users removed one at a time; the rest is extrapolated
const std::time_t kNow = LocalTime(2024, 3, 15, 23);

double Scan(const LargeSite& site, platform::Answer answer) {
    const DormixInstallation install = site.copy();
    ScopedEnv db("ACCTKIT_DB", install.tervoxDb());
    AnswerAlways boxes(answer);
    return Seconds([&] { ScanDormantAccounts(30, install.paths(), boxes, kNow); });
}

// rm -rf of the dormant folders, cp and sync of both key files, every user.ini read.
double PlainTools(const LargeSite& site) {
    const DormixInstallation install = site.copy();
    const std::string list = site.dormantList(install);
    const std::string user = install.userFolder();
    return Seconds([&] {
        Shell("find '" + user + "' -mindepth 2 -maxdepth 2 -name user.ini -exec cat {} + > /dev/null");
        Shell("xargs rm -rf < '" + list + "'");
        Shell("cp '" + user + "/USER.KEY' '" + user + "/USER.KEY.copy' && cp '" + user + "/USERTIME.KEY' '" + user +
              "/USERTIME.KEY.copy' && sync");
    });
}

double PlainCopy(const LargeSite& site) {
    const std::string user = site.base.userFolder();
    Shell("sync");
    const double seconds = Seconds([&] {
        Shell("cp '" + user + "/USER.KEY' '" + user + "/USER.KEY.copy' && cp '" + user + "/USERTIME.KEY' '" + user +
              "/USERTIME.KEY.copy' && sync");
    });
    Shell("rm -f '" + user + "/USER.KEY.copy' '" + user + "/USERTIME.KEY.copy'");
    return seconds;
}

double KeysInOnePass(const LargeSite& site) {
    const DormixInstallation install = site.keysOnly();
    return Seconds([&] { keyindex::RemoveUserKeysBatch(install.paths().installPath, site.dormantNames); });
}

double KeysOneAtATime(const LargeSite& site) {
    const DormixInstallation install = site.keysOnly();
    const double sample = Seconds([&] {
        for (int i = 0; i < kOneAtATimeSample; ++i) RemoveUserKeys(install.paths().installPath, site.dormantNames[i]);
    });
    return sample * static_cast<double>(site.dormantNames.size()) / kOneAtATimeSample;
}

}  // namespace

void ReportLargeScan() {
    std::printf("Laying out %d accounts (%d dormant) with key files of %d records...\n", kAccounts,
                kAccounts / kDormantEvery, kAccounts);
    std::fflush(stdout);
    const LargeSite site(kAccounts, kDormantEvery, kNow);
    Shell("sync");
    const double plain = PlainTools(site);
    const double no = Scan(site, platform::Answer::No);
    const double yes = Scan(site, platform::Answer::Yes);
    const double copy = PlainCopy(site);
    const double batch = KeysInOnePass(site);
    const double single = KeysOneAtATime(site);
    Shell("rm -rf '" + site.run() + "'");
    std::printf("%-58s %9s %9s\n", "large installation, warm cache", "seconds", "ratio");
    std::printf("%-58s %9.2f %9s\n", "plain tools: read user.ini, rm -rf dormant, cp+sync keys", plain, "1.00");
    std::printf("%-58s %9.2f %9.2f\n", "whole scan, answer No", no, no / plain);
    std::printf("%-58s %9.2f %9.2f\n", "whole scan, answer Yes", yes, yes / plain);
    std::printf("%-58s %9.2f %9s\n", "plain cp+sync of both key files", copy, "1.00");
    std::printf("%-58s %9.2f %9.2f\n", "key records of the dormant, one pass per file", batch, batch / copy);
    std::printf("%-58s %9.1f %9.0f\n", "key records one user at a time (extrapolated)", single, single / copy);
    std::fflush(stdout);
}
