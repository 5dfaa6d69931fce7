// How the progress of a run of 100,000 accounts (10,000 dormant) moves and how soon a stop takes
// effect, with and without a grace period: the time to the first word of progress (a folder
// read), how many words the reading and the accounts give, and the time from a stop asked for in
// the second batch (and, once, halfway through the reading) to the end of the run. The reference, in the same run, is plain tools reading
// every "user.ini" (find and cat).
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>

#include "bench/scan/AnswerAlways.h"
#include "bench/scan/LargeSite.h"
#include "dormix/scan/ScanDormantAccounts.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kAccounts = 100000;
constexpr int kDormantEvery = 10;
constexpr int kStopAt = 1500;  // the account in hand when the stop is asked for: in the second batch
constexpr int kWindowStep = 500;  // the progress window shows one folder count in so many

const std::time_t kNow = LocalTime(2024, 3, 15, 23);

double Since(Clock::time_point start, Clock::time_point at) { return std::chrono::duration<double>(at - start).count(); }

// Notes when each kind of word came, and asks for a stop at the kStopAt-th account.
struct Watch : ScanProgress {
    Watch(Clock::time_point start, int stopAtRead) : start(start), stopAtRead(stopAtRead) {}
    void reading(int count) override {
        if (count == 1) firstRead = Clock::now();
        if (count == stopAtRead) askStop();
        ++readWords;
        windowWords += count == 1 || count % kWindowStep == 0;
    }
    void counted(int) override { judged = Clock::now(); }
    void deleting(int number, int, const std::string&) override {
        if (number == 1) firstAccount = Clock::now();
        ++accountWords;
        if (number == kStopAt) askStop();
    }
    void askStop() {
        if (stop) return;
        stop = true;
        stopAsked = Clock::now();
    }
    void finished(const AccountJudgement&, const DeletedAccount&) override { ++finishedWords; }
    bool stopRequested() override { return stop; }

    Clock::time_point start, firstRead, judged, firstAccount, stopAsked;
    int stopAtRead;  // the folder count at which a stop is asked for instead; 0: none
    int readWords = 0, windowWords = 0, accountWords = 0, finishedWords = 0;
    std::atomic<bool> stop{false};
};

void Measure(const LargeSite& site, const char* graceDays, double reference, int stopAtRead = 0) {
    const DormixInstallation install = site.copy();
    const TempDir settings;
    Shell("printf '[DORMIX]\\r\\nGRACEDAYS=" + std::string(graceDays) + "\\r\\n' > '" + settings.file("VELTA.INI") + "'");
    const ScopedEnv windir("WINDIR", settings.path().string());
    const ScopedEnv db("ACCTKIT_DB", install.tervoxDb());
    AnswerAlways boxes(platform::Answer::No);
    Watch watch(Clock::now(), stopAtRead);
    const ScanReport report = ScanDormantAccounts(30, install.paths(), boxes, kNow, &watch);
    const Clock::time_point end = Clock::now();
    std::printf("GRACEDAYS=%s%s: %zu account(s) taken, %d left, ended %s\n", graceDays, stopAtRead ? ", a stop halfway through the reading" : "", report.deleted.size(), report.left(),
                report.end == ScanEnd::Stopped ? "stopped" : "otherwise");
    // A moment that did not come (no account in hand after a stop while reading) is shown as "-".
    const auto row = [&](const char* what, Clock::time_point from, Clock::time_point to) {
        if (from == Clock::time_point{} || to == Clock::time_point{}) return void(std::printf("  %-52s %9s\n", what, "-"));
        const double seconds = Since(from, to);
        std::printf("  %-52s %9.3f s %9.3f\n", what, seconds, seconds / reference);
    };
    row("first folder read (first word of progress)", watch.start, watch.firstRead);
    row("all folders read and judged", watch.start, watch.judged);
    row("first account in hand", watch.start, watch.firstAccount);
    row("from the stop asked for to the end of the run", watch.stopAsked, end);
    std::printf("  words: %d folders read (%d shown by the window), %d accounts in hand, %d finished\n", watch.readWords,
                watch.windowWords, watch.accountWords, watch.finishedWords);
    std::fflush(stdout);
}

}  // namespace

int main() {
    std::printf("Laying out %d accounts (%d dormant)...\n", kAccounts, kAccounts / kDormantEvery);
    std::fflush(stdout);
    const LargeSite site(kAccounts, kDormantEvery, kNow);
    const DormixInstallation plain = site.copy();
    const double reference = Seconds([&] {
        Shell("find '" + plain.userFolder() + "' -mindepth 2 -maxdepth 2 -name user.ini -exec cat {} + > /dev/null");
    });
    std::printf("%-54s %9s   %9s\n", "warm cache", "seconds", "ratio");
    std::printf("  %-52s %9.3f s %9s\n", "reference: plain tools read every user.ini", reference, "1.000");
    Measure(site, "0", reference);
    Measure(site, "30", reference);
    Measure(site, "30", reference, kAccounts / 2);
    return 0;
}
