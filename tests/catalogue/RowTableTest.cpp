#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "marqueta/catalogue/RowTable.h"
#include "platform/Random.h"

namespace {

class RecordingObserver : public RowTableObserver {
public:
    void rowAboutToBeInserted(int p) override { log.push_back("insert? " + std::to_string(p)); }
    void rowInserted(int p) override { log.push_back("inserted " + std::to_string(p)); }
    void rowAboutToBeRemoved(int p) override { log.push_back("remove? " + std::to_string(p)); }
    void rowRemoved(int p) override { log.push_back("removed " + std::to_string(p)); }
    void rowChanged(int p) override { log.push_back("changed " + std::to_string(p)); }
    void orderAboutToChange() override { log.push_back("order?"); }
    void orderChanged() override { log.push_back("order"); }
    std::vector<std::string> log;
};

Cells Named(const std::string& image, const std::string& sequence = {}) {
    Cells cells;
    cells[Image] = image;
    cells[Sequence] = sequence;
    return cells;
}

std::vector<std::string> Images(const RowTable& rows) {
    std::vector<std::string> images;
    for (int i = 0; i < rows.count(); ++i) images.push_back(rows.cell(i, Image));
    return images;
}

}  // namespace

TEST(RowTable, TellsItsObserverAroundEveryChange) {
    RowTable rows;
    RecordingObserver observer;
    rows.setObserver(&observer);
    platform::SeedRandom(1);

    EXPECT_EQ(rows.insertRow(0), 0);
    EXPECT_EQ(rows.insertRow(5), 1);  // past the end: appended
    rows.insertRow(1, Named("middle"), 77);
    rows.setCell(2, Company, "Acme");
    rows.setCells(0, Named("first"));
    rows.setStateImage(1, 2);
    rows.redrawTag(1);
    rows.stableSort([](const CatalogueRow& a, const CatalogueRow& b) { return a.cells[Image] < b.cells[Image]; });
    rows.removeRow(0);
    rows.removeRow(7);  // no such row: nothing happens
    rows.clear();

    const std::vector<std::string> expected = {
        "insert? 0", "inserted 0", "insert? 1", "inserted 1", "insert? 1", "inserted 1",
        "changed 2", "changed 0", "changed 1", "changed 1", "order?", "order",
        "remove? 0", "removed 0", "remove? 1", "removed 1", "remove? 0", "removed 0"};
    EXPECT_EQ(observer.log, expected);
    EXPECT_EQ(rows.count(), 0);
}

TEST(RowTable, CellsStateImageAndTagsAreKept) {
    RowTable rows;
    rows.insertRow(0, Named("a"), 10);
    rows.insertRow(1, Named("b"), 20);
    rows.setCell(1, Ext, ".gif");
    rows.setStateImage(0, 1);
    EXPECT_EQ(rows.cell(1, Ext), ".gif");
    EXPECT_EQ(rows.row(0).stateImage, 1);
    EXPECT_EQ(rows.row(1).stateImage, 0);
    EXPECT_EQ(rows.findTag(20), 1);
    EXPECT_EQ(rows.findTag(10), 0);
    EXPECT_EQ(rows.findTag(30), -1);
}

TEST(RowTable, FreshTagsAreDrawnAgainUntilNoOtherRowCarriesThem) {
    platform::SeedRandom(99);
    const int first = platform::NextRandom();
    const int second = platform::NextRandom();
    const int third = platform::NextRandom();
    ASSERT_NE(first, second);
    ASSERT_NE(second, third);

    RowTable rows;
    rows.insertRow(0, Named("taken"), first);
    platform::SeedRandom(99);
    rows.insertRow(1);
    EXPECT_EQ(rows.row(1).tag, second);

    // A redraw may not keep a tag another row carries, but the row's own tag does not count.
    platform::SeedRandom(99);
    rows.redrawTag(1);  // draws first (row 0 has it), then second (its own): kept
    EXPECT_EQ(rows.row(1).tag, second);

    EXPECT_EQ(rows.distinctTag(third), third);
    platform::SeedRandom(99);
    platform::NextRandom();
    EXPECT_EQ(rows.distinctTag(first), third);  // first and second are both carried
    EXPECT_EQ(rows.distinctTag(second, 1), second);
}

TEST(RowTable, StableSortKeepsEqualRowsInTheirOrder) {
    RowTable rows;
    const std::vector<std::pair<std::string, std::string>> input = {
        {"a", "2"}, {"b", "1"}, {"c", "2"}, {"d", "1"}, {"e", "0"}, {"f", "2"}};
    for (std::size_t i = 0; i < input.size(); ++i)
        rows.insertRow(static_cast<int>(i), Named(input[i].first, input[i].second), static_cast<int>(i));
    rows.stableSort([](const CatalogueRow& a, const CatalogueRow& b) { return a.cells[Sequence] < b.cells[Sequence]; });
    EXPECT_EQ(Images(rows), (std::vector<std::string>{"e", "b", "d", "a", "c", "f"}));
    // Tags travel with their rows.
    EXPECT_EQ(rows.findTag(4), 0);
    EXPECT_EQ(rows.findTag(5), 5);
}
