// Lookup and removal in key files of 10,000 to 1,000,000 records, beside a plain copy of the
// same file. Each size's files are made once in a temporary folder and removed after.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "dormix/keyindex/KeyLookup.h"
#include "dormix/keyindex/RemoveKeyRecord.h"
#include "dormix/keyindex/RemoveUserKeys.h"
#include "dormix/keyindex/RemoveUserKeysBatch.h"
#include "dormix/keyindex/UserKey.h"

namespace fs = std::filesystem;
using namespace keyindex;

namespace {

enum Where { kStart, kMiddle, kEnd, kMiss };

std::string UserName(std::int64_t i) {
    char text[32];
    std::snprintf(text, sizeof text, "user%07lld", static_cast<long long>(i));
    return text;
}

std::string TimeKey(std::int64_t i) {
    char text[32];
    std::snprintf(text, sizeof text, "T%07lld", static_cast<long long>(i));
    return text;
}

std::int64_t RecordIndex(std::int64_t records, std::int64_t where) {
    switch (where) {
    case kStart: return 0;
    case kMiddle: return records / 2;
    case kEnd: return records - 1;
    default: return records;  // one past the last: no such user
    }
}

// Writes `records` records whose key and value come from the two functions, in 1 MiB pieces.
template <typename KeyOf, typename ValueOf>
void WriteKeyFile(const fs::path& path, std::int64_t records, KeyOf keyOf, ValueOf valueOf) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) std::abort();
    std::string chunk;
    for (std::int64_t i = 0; i < records; ++i) {
        std::string record(kRecordSize, '\0');
        const std::string key = keyOf(i);
        const std::string value = valueOf(i);
        record.replace(0, key.size(), key);
        record.replace(kKeySize, value.size(), value);
        chunk += record;
        if (chunk.size() >= (1u << 20) || i + 1 == records) {
            if (std::fwrite(chunk.data(), 1, chunk.size(), out) != chunk.size()) std::abort();
            chunk.clear();
        }
    }
    std::fclose(out);
}

void SyncFile(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) std::abort();
    ::fsync(fd);
    ::close(fd);
}

void CopyDurably(const fs::path& from, const fs::path& to) {
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    SyncFile(to);
}

// An installation with USER.KEY and USERTIME.KEY of one size, and pristine copies of both.
class Installation {
public:
    explicit Installation(std::int64_t records) : records_(records) {
        std::string tmpl = (fs::temp_directory_path() / "velta-bench-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        root_ = tmpl;
        fs::create_directory(root_ / "USER");
        WriteKeyFile(masterUser(), records, [](std::int64_t i) { return MakeUserKey(UserName(i)); }, TimeKey);
        WriteKeyFile(masterTime(), records, TimeKey, UserName);
        restore();
    }
    ~Installation() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    std::int64_t records() const { return records_; }
    std::string install() const { return root_.string(); }
    fs::path userKey() const { return root_ / "USER" / "USER.KEY"; }
    fs::path timeKey() const { return root_ / "USER" / "USERTIME.KEY"; }
    fs::path masterUser() const { return root_ / "user.master"; }
    fs::path masterTime() const { return root_ / "time.master"; }
    fs::path scratch() const { return root_ / "copy.key"; }
    // Puts the pristine files back and onto the disk, so that no write-back of the restored
    // copies falls into the timed part.
    void restore() const {
        CopyDurably(masterUser(), userKey());
        CopyDurably(masterTime(), timeKey());
    }

private:
    std::int64_t records_;
    fs::path root_;
};

// One installation at a time keeps the disk use to one size's files.
Installation& InstallationOf(std::int64_t records) {
    static std::unique_ptr<Installation> current;
    if (!current || current->records() != records) {
        current.reset();
        current = std::make_unique<Installation>(records);
    }
    return *current;
}

void SetRecordCounters(benchmark::State& state, std::int64_t records) {
    state.counters["records"] = static_cast<double>(records);
    state.counters["MB"] = static_cast<double>(records) * kRecordSize / 1e6;
}

void BM_LookupKey(benchmark::State& state) {
    const std::int64_t records = state.range(0);
    Installation& inst = InstallationOf(records);
    inst.restore();
    KeyFile file;
    if (!file.open(inst.userKey().string())) std::abort();
    const std::string key = MakeUserKey(UserName(RecordIndex(records, state.range(1))));
    for (auto _ : state) {
        auto hit = LookupKey(file, key.c_str());
        benchmark::DoNotOptimize(hit);
        if (hit.has_value() == (state.range(1) == kMiss)) state.SkipWithError("wrong lookup result");
    }
    SetRecordCounters(state, records);
}

void BM_RemoveUserKeys(benchmark::State& state) {
    const std::int64_t records = state.range(0);
    Installation& inst = InstallationOf(records);
    const std::string name = UserName(RecordIndex(records, state.range(1)));
    for (auto _ : state) {
        state.PauseTiming();
        inst.restore();
        state.ResumeTiming();
        RemoveUserKeys(inst.install(), name);
    }
    const auto expected = static_cast<std::uintmax_t>(state.range(1) == kMiss ? records : records - 1) * kRecordSize;
    if (fs::file_size(inst.userKey()) != expected || fs::file_size(inst.timeKey()) != expected)
        state.SkipWithError("wrong removal result");
    SetRecordCounters(state, records);
}

// One removal from USER.KEY alone: the lookup and the rewrite of one file.
void BM_RemoveKeyRecord(benchmark::State& state) {
    const std::int64_t records = state.range(0);
    Installation& inst = InstallationOf(records);
    const std::int64_t index = RecordIndex(records, state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        inst.restore();
        state.ResumeTiming();
        RemoveKeyRecord(inst.userKey().string(), static_cast<FilePosition>(index) * kRecordSize);
    }
    if (fs::file_size(inst.userKey()) != static_cast<std::uintmax_t>(records - 1) * kRecordSize)
        state.SkipWithError("wrong removal result");
    SetRecordCounters(state, records);
}

// The system's own copy of one key file, plain (arg 0) and made durable with fsync (arg 1),
// as the removal's safe write is.
void BM_CopyFile(benchmark::State& state) {
    const std::int64_t records = state.range(0);
    Installation& inst = InstallationOf(records);
    for (auto _ : state) {
        fs::copy_file(inst.masterUser(), inst.scratch(), fs::copy_options::overwrite_existing);
        if (state.range(1) == 1) SyncFile(inst.scratch());
    }
    fs::remove(inst.scratch());
    SetRecordCounters(state, records);
}

double SecondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Every tenth user, in an order like that of a folder listing.
std::vector<std::string> SpreadUsers(std::int64_t records, std::int64_t users) {
    std::vector<std::string> names;
    for (std::int64_t i = 0; i < users; ++i) names.push_back(UserName(i * records / users));
    std::shuffle(names.begin(), names.end(), std::mt19937(4));
    return names;
}

// Many users removed from both key files at once (the timed part), beside, in the same run, a
// plain durable copy of both files (as cp and a sync would make it) and the removal one user at a
// time of the first `sample` of the same users, scaled up to all of them: a full run of that
// would write hundreds of gigabytes.
void BM_KeyFilesAtScale(benchmark::State& state) {
    const std::int64_t records = state.range(0);
    const std::int64_t users = state.range(1);
    const std::int64_t sample = state.range(2);
    Installation& inst = InstallationOf(records);
    const std::vector<std::string> names = SpreadUsers(records, users);
    double copy = 0, batch = 0, oneAtATime = 0;
    for (auto _ : state) {
        copy += SecondsOf([&] {
            CopyDurably(inst.masterUser(), inst.scratch());
            CopyDurably(inst.masterTime(), inst.scratch().string() + "2");
        });
        inst.restore();
        const double seconds = SecondsOf([&] { benchmark::DoNotOptimize(RemoveUserKeysBatch(inst.install(), names)); });
        state.SetIterationTime(seconds);
        batch += seconds;
        const auto left = static_cast<std::uintmax_t>(records - users) * kRecordSize;
        if (fs::file_size(inst.userKey()) != left || fs::file_size(inst.timeKey()) != left)
            state.SkipWithError("wrong batch removal result");
        inst.restore();
        oneAtATime += SecondsOf([&] {
            for (std::size_t i = 0; i < static_cast<std::size_t>(sample); ++i) RemoveUserKeys(inst.install(), names[i]);
        }) * static_cast<double>(users) / static_cast<double>(sample);
    }
    fs::remove(inst.scratch());
    fs::remove(inst.scratch().string() + "2");
    inst.restore();
    const auto n = static_cast<double>(state.iterations());
    state.counters["copy_s"] = copy / n;
    state.counters["batch_s"] = batch / n;
    state.counters["one_at_a_time_s"] = oneAtATime / n;
    state.counters["batch_per_copy"] = batch / copy;
    state.counters["one_at_a_time_per_batch"] = oneAtATime / batch;
    SetRecordCounters(state, records);
}

void RegisterAll() {
    // 100,000 records with 10,000 users removed; 10,000 records with 1,000, as the scan's figures.
    benchmark::RegisterBenchmark("KeyFilesAtScale", BM_KeyFilesAtScale)
        ->Args({100'000, 10'000, 10})->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("KeyFilesAtScale", BM_KeyFilesAtScale)
        ->Args({10'000, 1'000, 50})->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
    // One batch of the scan in files of a million records: what each batch costs at that size.
    benchmark::RegisterBenchmark("KeyFilesAtScale", BM_KeyFilesAtScale)
        ->Args({1'000'000, 1'000, 2})->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);

    struct Size {
        std::int64_t records;
        int lookupIterations;
        int removalIterations;
    } sizes[] = {{10'000, 2000, 30}, {100'000, 300, 10}, {1'000'000, 30, 5}};
    for (const Size& s : sizes) {
        for (int where : {kStart, kMiddle, kEnd, kMiss}) {
            benchmark::RegisterBenchmark("LookupKey", BM_LookupKey)
                ->Args({s.records, where})->Iterations(s.lookupIterations)->Unit(benchmark::kMicrosecond);
        }
        for (int where : {kStart, kMiddle, kEnd, kMiss}) {
            benchmark::RegisterBenchmark("RemoveUserKeys", BM_RemoveUserKeys)
                ->Args({s.records, where})->Iterations(s.removalIterations)->Unit(benchmark::kMillisecond);
        }
        for (int where : {kStart, kMiddle, kEnd}) {
            benchmark::RegisterBenchmark("RemoveKeyRecord", BM_RemoveKeyRecord)
                ->Args({s.records, where})->Iterations(s.removalIterations)->Unit(benchmark::kMillisecond);
        }
        for (int durable : {0, 1}) {
            benchmark::RegisterBenchmark("CopyFile", BM_CopyFile)
                ->Args({s.records, durable})->Iterations(s.removalIterations)->Unit(benchmark::kMillisecond);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
