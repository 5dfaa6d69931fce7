// A whole scan of a large installation, and its parts measured alone to show where the time goes.
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/scan/AnswerAlways.h"
#include "bench/scan/LargeScan.h"
#include "dormix/keyindex/RemoveUserKeys.h"
#include "dormix/scan/DeleteFolderTree.h"
#include "dormix/scan/DeleteTervoxUsers.h"
#include "dormix/scan/ScanDormantAccounts.h"
#include "tests/scan/fixture/DormixInstallation.h"
#include "tests/support/TempDir.h"

namespace {

constexpr int kAccounts = 10000;
constexpr int kDormantEvery = 10;  // 1,000 of the 10,000 are dormant
constexpr std::int32_t kThreshold = 30;

const std::time_t kNow = LocalTime(2024, 3, 15, 23);

std::string UserName(int i) { return "user" + std::to_string(100000 + i); }
bool IsDormant(int i) { return i % kDormantEvery == 0; }

std::vector<std::string> AllNames() {
    std::vector<std::string> names;
    for (int i = 0; i < kAccounts; ++i) names.push_back(UserName(i));
    return names;
}

std::vector<std::string> DormantNames() {
    std::vector<std::string> names;
    for (int i = 0; i < kAccounts; i += kDormantEvery) names.push_back(UserName(i));
    return names;
}

// A temporary installation of 10,000 accounts with their key records and mail-server users.
struct LargeInstallation {
    LargeInstallation() {
        for (int i = 0; i < kAccounts; ++i) {
            install.addAccount(UserName(i), IsDormant(i) ? LogonDaysBefore(kNow, 400) : LogonDaysBefore(kNow, i % 30));
        }
        install.writeKeyFiles(AllNames());
        install.writeTervoxUsers(AllNames());
    }
    TempDir dir;
    DormixInstallation install{dir.path().string()};
    ScopedEnv env{"ACCTKIT_DB", install.tervoxDb()};
};

void WholeScan(benchmark::State& state, platform::Answer answer) {
    AnswerAlways boxes(answer);
    for (auto _ : state) {
        state.PauseTiming();
        auto large = std::make_unique<LargeInstallation>();
        state.ResumeTiming();
        benchmark::DoNotOptimize(ScanDormantAccounts(kThreshold, large->install.paths(), boxes, kNow));
        state.PauseTiming();
        large.reset();
        state.ResumeTiming();
    }
}

void BM_WholeScanAnswerNo(benchmark::State& state) { WholeScan(state, platform::Answer::No); }
void BM_WholeScanAnswerYes(benchmark::State& state) { WholeScan(state, platform::Answer::Yes); }

// The walk alone: every folder searched and every "user.ini" read, nothing dormant.
void BM_WalkWithoutDeletion(benchmark::State& state) {
    LargeInstallation large;
    AnswerAlways boxes(platform::Answer::No);
    for (auto _ : state) benchmark::DoNotOptimize(ScanDormantAccounts(100000, large.install.paths(), boxes, kNow));
}

// The three deletions of the 1,000 dormant accounts, each alone.
template <typename Work>
void DeletionOfDormant(benchmark::State& state, Work work) {
    for (auto _ : state) {
        state.PauseTiming();
        auto large = std::make_unique<LargeInstallation>();
        state.ResumeTiming();
        for (const std::string& name : DormantNames()) work(*large, name);
        state.PauseTiming();
        large.reset();
        state.ResumeTiming();
    }
}

void BM_FolderTreesOfDormant(benchmark::State& state) {
    DeletionOfDormant(state, [](LargeInstallation& l, const std::string& name) { DeleteAccountFolder(l.install.folderOf(name)); });
}
void BM_KeyRecordsOfDormant(benchmark::State& state) {
    DeletionOfDormant(state, [](LargeInstallation& l, const std::string& name) { RemoveUserKeys(l.install.paths().installPath, name); });
}
void BM_TervoxUsersOfDormant(benchmark::State& state) {
    DeletionOfDormant(state, [](LargeInstallation&, const std::string& name) { DeleteTervoxUsers({name}); });
}

// Laying out 10,000 accounts takes far longer than most scans, so iterations are few.
BENCHMARK(BM_WholeScanAnswerNo)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_WholeScanAnswerYes)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_WalkWithoutDeletion)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FolderTreesOfDormant)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_KeyRecordsOfDormant)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_TervoxUsersOfDormant)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

// The large installation first, reported as one table; then the 10,000 accounts case.
int main(int argc, char** argv) {
    ReportLargeScan();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
