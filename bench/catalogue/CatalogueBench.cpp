// Loading and saving catalogues of 10,000 and 100,000 banners. Beside each, as the reference
// measured in the same run, what no loader or save can do without: the file read whole and cut
// into its lines and fields, and the same bytes written to a file in one piece.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <streambuf>
#include <string_view>

#include "bench/support/ReferenceReporter.h"
#include "marqueta/catalogue/CatalogueFile.h"
#include "platform/FileOps.h"
#include "platform/MessageBox.h"

namespace {

class Discard : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

class SilentBoxes : public platform::MessageBoxes {
public:
    using MessageBoxes::show;
    platform::Answer show(const std::string&, const std::string&, platform::Buttons, platform::Severity) override {
        return platform::Answer::Ok;
    }
};

std::filesystem::path BenchFolder() {
    auto folder = std::filesystem::temp_directory_path() / "velta-catalogue-bench";
    std::filesystem::create_directories(folder);
    return folder;
}

std::string MakeCatalogue(int rows) {
    const std::string path = (BenchFolder() / ("catalogue-" + std::to_string(rows) + ".txt")).string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    char line[256];
    for (int i = 0; i < rows; ++i) {
        std::snprintf(line, sizeof line,
                      "banner%d.gif,Company %d,Product %d,%d,http://www.example%d.com/,%02d/%02d/2024,"
                      "12/31/2025,0.%02d,%08X,.gif,\r\n",
                      i, i % 977, i % 313, i % 50, i, 1 + i % 12, 1 + i % 28, i % 100, i & 0x7FFF);
        out << line;
    }
    return path;
}

void BM_LoadCatalogue(benchmark::State& state) {
    const std::string path = MakeCatalogue(static_cast<int>(state.range(0)));
    Discard discard;
    std::ostream trace(&discard);
    for (auto _ : state) {
        RowTable rows;
        loadCatalogue(rows, path, trace);
        benchmark::DoNotOptimize(rows.count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The reference of the load: the bytes read and every field found, with nothing kept.
void BM_ReadAndCut(benchmark::State& state) {
    const std::string path = MakeCatalogue(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::string text;
        platform::ReadWholeFileBytes(path, text);
        std::string_view rest(text);
        std::size_t fields = 0;
        for (std::size_t at; (at = rest.find(',')) != std::string_view::npos; rest.remove_prefix(at + 1)) ++fields;
        benchmark::DoNotOptimize(fields);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The reference of the save: the catalogue's bytes written to a file in one piece.
void BM_WriteBytes(benchmark::State& state) {
    std::string text;
    platform::ReadWholeFileBytes(MakeCatalogue(static_cast<int>(state.range(0))), text);
    const std::string path = (BenchFolder() / "written.txt").string();
    for (auto _ : state) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        benchmark::DoNotOptimize(out.good());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SaveCatalogue(benchmark::State& state) {
    const std::string source = MakeCatalogue(static_cast<int>(state.range(0)));
    Discard discard;
    std::ostream trace(&discard);
    RowTable rows;
    loadCatalogue(rows, source, trace);
    MarquetaPaths paths;
    paths.dataFilePath = (BenchFolder() / "saved.txt").string();
    SilentBoxes boxes;
    CatalogueContext context{paths, rows, boxes, nullptr};
    for (auto _ : state) benchmark::DoNotOptimize(saveCatalogue(context));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_ReadAndCut)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadCatalogue)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteBytes)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveCatalogue)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    // The save records the last browse folder in the settings file: keep it in the bench folder.
    setenv("WINDIR", BenchFolder().string().c_str(), 1);
    benchmark::Initialize(&argc, argv);
    ReferenceReporter reporter([](const std::string& name) {
        const std::string load = RenamedRun(name, "BM_LoadCatalogue/", "BM_ReadAndCut/");
        return load.empty() ? RenamedRun(name, "BM_SaveCatalogue/", "BM_WriteBytes/") : load;
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::filesystem::remove_all(BenchFolder());
    return 0;
}
