// 10,000 warnings, composed, sent one after another over one connection and each recorded in
// "warned.log" with its sync, as a run sends them. Target: within 60 s.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "dormix/warn/SendWarnings.h"
#include "dormix/warn/WarnDecision.h"
#include "dormix/warn/smtp/SmtpSender.h"
#include "tests/support/LocalSmtpServer.h"
#include "tests/support/TempDir.h"

namespace {

constexpr int kWarnings = 10000;

void TenThousandWarnings(benchmark::State& state) {
    const std::time_t now = std::time(nullptr);
    std::vector<WarningToSend> warnings;
    for (int i = 0; i < kWarnings; ++i) {
        warnings.push_back({"user" + std::to_string(100000 + i), AddDays(LocalDayOf(now), -40),
                            AddDays(LocalDayOf(now), 7)});
    }
    for (auto _ : state) {
        state.PauseTiming();
        TempDir dir;
        LocalSmtpServer server(dir.path().string(), {}, LocalSmtpServer::Keep::Nothing);
        WarnSettings settings;
        settings.warnDays = 7;
        settings.smtpUrl = server.url();
        settings.mailFrom = "postmaster@example.org";
        settings.mailDomain = "example.org";
        state.ResumeTiming();
        SmtpSender sender({settings.smtpUrl, "", ""});
        const WarningRun run = SendWarnings(warnings, settings, sender, dir.file("warned.log"), now);
        state.PauseTiming();
        state.counters["warned"] = run.warnedCount();
        state.counters["connections"] = static_cast<double>(server.connections());
        if (run.warnedCount() != kWarnings) state.SkipWithError("not every warning was taken");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kWarnings);
}

BENCHMARK(TenThousandWarnings)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
