// A click on a column heading sorts the whole list: how long that takes for 10,000 and 100,000
// rows, by a text ("Company"), a number ("Sequence") and a date ("Begin Date") column; beside
// each, as the reference measured in the same run, the same stable sort comparing the cells
// themselves at every step, and the ratio of the two.
#include <cstdio>
#include <functional>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/support/ReferenceReporter.h"
#include "marqueta/catalogue/RowTable.h"
#include "marqueta/ui/RowTableModel.h"
#include "marqueta/ui/SortRows.h"
#include "platform/Random.h"

namespace {

const char* const kWords[] = {"Harbor", "northwind", "Velo", "lantern", "Bluewave", "greenleaf", "Acme",
                              "zenith", "Orchard", "copper", "Summit", "meadow", "Atlas", "river"};

// Rows as a catalogue of that size might hold them; each banner name is unique.
void FillRows(RowTable& rows, int count) {
    std::mt19937 random(12345);
    for (int i = 0; i < count; ++i) {
        Cells cells;
        char text[64];
        std::snprintf(text, sizeof text, "banner-%06d.gif", i);
        cells[Image] = text;
        cells[Company] = std::string(kWords[random() % 14]) + " " + kWords[random() % 14] + " " +
                         std::to_string(random() % 1000);
        cells[Product] = kWords[random() % 14];
        cells[Sequence] = std::to_string(random() % 5000);
        cells[Url] = "http://example.com/" + std::to_string(i);
        std::snprintf(text, sizeof text, "%02lu/%02lu/%04lu", static_cast<unsigned long>(1 + random() % 12), static_cast<unsigned long>(1 + random() % 28),
                      static_cast<unsigned long>(1995 + random() % 30));
        cells[BeginDate] = text;
        cells[EndDate] = "12/31/2030";
        cells[Rate] = "0.25";
        cells[Uid] = "00001234";
        cells[Ext] = ".gif";
        rows.insertRow(rows.count(), cells, i % (platform::kRandMax + 1));
    }
}

// Puts the rows back into a fixed shuffled order, so that every timed sort starts alike.
void Shuffle(RowTable& rows) {
    const std::hash<std::string> hash;
    rows.stableSort([&hash](const CatalogueRow& a, const CatalogueRow& b) {
        return hash(a.cells[Image]) < hash(b.cells[Image]);
    });
}

void BM_SortByColumn(benchmark::State& state) {
    RowTable rows;
    RowTableModel model(rows, [] { return std::time_t{1118836800}; });
    FillRows(rows, static_cast<int>(state.range(0)));
    const int column = static_cast<int>(state.range(1));
    bool ascending = true;
    for (auto _ : state) {
        state.PauseTiming();
        Shuffle(rows);
        state.ResumeTiming();
        model.sort(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        ascending = !ascending;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel(kColumns.at(static_cast<std::size_t>(column)).caption);
}

// The reference: every comparison reads both cells anew (a collation per text comparison).
void BM_SortByComparingCells(benchmark::State& state) {
    RowTable rows;
    FillRows(rows, static_cast<int>(state.range(0)));
    const int column = static_cast<int>(state.range(1));
    const SortKind kind = kColumns.at(static_cast<std::size_t>(column)).kind;
    const QCollator collator = TextCollator();
    const std::time_t now = 1118836800;
    bool ascending = true;
    for (auto _ : state) {
        state.PauseTiming();
        Shuffle(rows);
        state.ResumeTiming();
        rows.stableSort([&](const CatalogueRow& a, const CatalogueRow& b) {
            const int c = CompareCells(kind, a.cells[static_cast<std::size_t>(column)],
                                       b.cells[static_cast<std::size_t>(column)], now, collator);
            return (ascending ? c : -c) < 0;
        });
        ascending = !ascending;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel(kColumns.at(static_cast<std::size_t>(column)).caption);
}

BENCHMARK(BM_SortByComparingCells)
    ->ArgNames({"rows", "column"})
    ->ArgsProduct({{10000, 100000}, {Company, Sequence, BeginDate}})
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_SortByColumn)
    ->ArgNames({"rows", "column"})
    ->ArgsProduct({{10000, 100000}, {Company, Sequence, BeginDate}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    ReferenceReporter reporter([](const std::string& name) { return RenamedRun(name, "BM_SortByColumn/", "BM_SortByComparingCells/"); });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return 0;
}
