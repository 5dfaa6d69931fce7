#pragma once
// Prints each figure beside its reference measured in the same run, as a ratio, so that a figure
// taken on a busy or slow machine still says how it compares.
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

class ReferenceReporter : public benchmark::ConsoleReporter {
public:
    // referenceOf gives the name of the run that is the reference of a run, or "" for none.
    explicit ReferenceReporter(std::function<std::string(const std::string&)> referenceOf)
        : referenceOf_(std::move(referenceOf)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const double toSeconds = 1.0 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            names_.push_back(run.benchmark_name());
            seconds_[run.benchmark_name()] = {run.GetAdjustedCPUTime() * toSeconds, run.GetAdjustedRealTime() * toSeconds};
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nBeside the reference of the same run (seconds per iteration, CPU / wall):\n");
        for (const std::string& name : names_) {
            const std::string reference = referenceOf_(name);
            const auto found = seconds_.find(reference);
            if (reference.empty() || found == seconds_.end()) continue;
            const auto [cpu, wall] = seconds_[name];
            const auto [referenceCpu, referenceWall] = found->second;
            std::printf("%-40s %7.3f / %7.3f   reference %-48s %7.3f / %7.3f   ratio %.2f / %.2f\n", name.c_str(), cpu,
                        wall, reference.c_str(), referenceCpu, referenceWall, cpu / referenceCpu, wall / referenceWall);
        }
    }

private:
    std::function<std::string(const std::string&)> referenceOf_;
    std::vector<std::string> names_;
    std::map<std::string, std::pair<double, double>> seconds_;
};

// name with its first occurrence of from replaced by to, or "" when name lacks from.
inline std::string RenamedRun(const std::string& name, const std::string& from, const std::string& to) {
    const std::size_t at = name.find(from);
    if (at == std::string::npos) return {};
    return name.substr(0, at) + to + name.substr(at + from.size());
}
