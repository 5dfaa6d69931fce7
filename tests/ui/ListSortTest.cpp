// Sorting by a click on a column heading: order, direction, heading marks, stability, and the
// selection following its rows.
#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <gtest/gtest.h>

#include "marqueta/catalogue/CatalogueFile.h"
#include "marqueta/ui/CListViewEx.h"
#include "tests/ui/ListRows.h"

namespace {

std::string Heading(CListViewEx& view, int column) {
    return view.rowModel().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString().toStdString();
}

std::vector<std::string> Headings(CListViewEx& view) {
    std::vector<std::string> out;
    for (int i = 0; i < kColumnCount; ++i) out.push_back(Heading(view, i));
    return out;
}

using Texts = std::vector<std::string>;

TEST(ListSort, ThreeClicksOnTwoColumnsSortAndMarkTheHeadings) {
    RowTable rows;
    CListViewEx view(rows);
    AppendRow(view.rows(), ListRow("delta", "10"));
    AppendRow(view.rows(), ListRow("Bravo", "9"));
    AppendRow(view.rows(), ListRow("alpha", "100"));
    AppendRow(view.rows(), ListRow("Charlie", "12abc"));

    view.OnColumnClick(Company);
    EXPECT_EQ(ColumnTexts(view.rows(), Company), (Texts{"alpha", "Bravo", "Charlie", "delta"}));
    EXPECT_EQ(Heading(view, Company), "Company (asc)");

    view.OnColumnClick(Company);
    EXPECT_EQ(ColumnTexts(view.rows(), Company), (Texts{"delta", "Charlie", "Bravo", "alpha"}));
    EXPECT_EQ(Heading(view, Company), "Company (desc)");

    view.OnColumnClick(Sequence);
    EXPECT_EQ(ColumnTexts(view.rows(), Sequence), (Texts{"9", "10", "12abc", "100"}));
    EXPECT_EQ(Headings(view), (Texts{"Banner", "Company", "Product", "Sequence (asc)", "URL  Link", "Begin Date",
                                     "End Date", "Rate", "UID", "Ext"}));

    view.OnColumnClick(Sequence);
    EXPECT_EQ(ColumnTexts(view.rows(), Sequence), (Texts{"100", "12abc", "10", "9"}));
    EXPECT_EQ(Heading(view, Sequence), "Sequence (desc)");
}

TEST(ListSort, ABracketedHeadingTailGoesAtTheFirstSortByAnyColumn) {
    RowTable rows;
    CListViewEx view(rows);
    AppendRow(view.rows(), ListRow("b"));
    AppendRow(view.rows(), ListRow("a"));
    view.rowModel().setHeaderData(Rate, Qt::Horizontal, QStringLiteral("Rate (USD)"), Qt::DisplayRole);
    view.OnColumnClick(Company);
    EXPECT_EQ(Heading(view, Rate), "Rate");
    EXPECT_EQ(Heading(view, Company), "Company (asc)");

    view.rowModel().setHeaderData(Rate, Qt::Horizontal, QStringLiteral("Rate (USD)"), Qt::DisplayRole);
    view.OnColumnClick(Rate);
    EXPECT_EQ(Heading(view, Rate), "Rate (asc)");
    EXPECT_EQ(Heading(view, Company), "Company");
}

TEST(ListSort, LevelRowsKeepTheirOrderInBothDirections) {
    RowTable rows;
    CListViewEx view(rows);
    AppendRow(view.rows(), ListRow("first", "5"));
    AppendRow(view.rows(), ListRow("low", "1"));
    AppendRow(view.rows(), ListRow("second", "5x"));
    AppendRow(view.rows(), ListRow("high", "9"));
    AppendRow(view.rows(), ListRow("third", "+5"));

    view.OnColumnClick(Sequence);
    EXPECT_EQ(ColumnTexts(view.rows(), Company), (Texts{"low", "first", "second", "third", "high"}));
    view.OnColumnClick(Sequence);
    EXPECT_EQ(ColumnTexts(view.rows(), Company), (Texts{"high", "first", "second", "third", "low"}));
}

TEST(ListSort, DatesSortByDayWithUndatedRowsAtTheMomentOfTheSort) {
    const std::time_t now = ParseDateText("6/15/2005", 0);
    RowTable rows;
    CListViewEx view(rows, [now] { return now; });
    AppendRow(view.rows(), ListRow("future", "1", "1/1/2010"));
    AppendRow(view.rows(), ListRow("undated", "1", "1999"));
    AppendRow(view.rows(), ListRow("march", "1", "3/1/1999"));
    AppendRow(view.rows(), ListRow("feb30", "1", "2/30/1999"));
    AppendRow(view.rows(), ListRow("empty", "1", ""));
    AppendRow(view.rows(), ListRow("dec98", "1", "12/1/1998"));
    AppendRow(view.rows(), ListRow("y1960", "1", "1/5/1960"));
    AppendRow(view.rows(), ListRow("y1970", "1", "1/5/1970"));

    view.OnColumnClick(BeginDate);
    EXPECT_EQ(ColumnTexts(view.rows(), Company),
              (Texts{"y1960", "y1970", "dec98", "march", "feb30", "undated", "empty", "future"}));
}

TEST(ListSort, SelectionAndCurrentRowFollowTheirRows) {
    RowTable rows;
    CListViewEx view(rows);
    AppendRow(view.rows(), ListRow("c"));
    AppendRow(view.rows(), ListRow("a"));
    AppendRow(view.rows(), ListRow("d"));
    AppendRow(view.rows(), ListRow("b"));
    QItemSelectionModel* selection = view.selectionModel();
    selection->select(view.shownIndex(0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection->select(view.shownIndex(3), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection->setCurrentIndex(view.shownIndex(2), QItemSelectionModel::NoUpdate);

    view.OnColumnClick(Company);  // a b c d: "c" moves to 2, "b" to 1, "d" to 3

    EXPECT_TRUE(selection->isRowSelected(2, {}));
    EXPECT_TRUE(selection->isRowSelected(1, {}));
    EXPECT_FALSE(selection->isRowSelected(0, {}));
    EXPECT_FALSE(selection->isRowSelected(3, {}));
    EXPECT_EQ(view.currentIndex().row(), 3);
}

TEST(ListSort, SelectionFollowsItsRowWhereRowsShareATag) {
    RowTable rows;
    CListViewEx view(rows);
    for (const char* company : {"b", "c", "a"}) view.rows().insertRow(view.rows().count(), ListRow(company), 7);
    view.selectionModel()->select(view.shownIndex(0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    view.OnColumnClick(Company);
    EXPECT_EQ(view.selectionModel()->selectedRows(), QModelIndexList{view.shownIndex(1)});
}

TEST(RowTableModel, PassesTheModelTesterThroughEveryKindOfChange) {
    RowTable rows;
    RowTableModel model(rows, [] { return std::time_t{1000000000}; });
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    for (const char* company : {"d", "b", "a", "c"}) AppendRow(rows, ListRow(company));
    rows.insertRow(1);
    rows.setCell(1, Company, "e");
    rows.setStateImage(2, 2);
    model.sort(Company, Qt::AscendingOrder);
    model.sort(Sequence, Qt::DescendingOrder);
    rows.removeRow(0);
    rows.redrawTag(0);
    model.setHeaderData(Rate, Qt::Horizontal, QStringLiteral("Rate (USD)"), Qt::DisplayRole);
    rows.clear();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(RowTableModel, CellsTheirAccessibleTextAndTheRowsImages) {
    RowTable rows;
    RowTableModel model(rows);
    AppendRow(rows, ListRow("Acme & Sons"));
    rows.setStateImage(0, 2);

    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.columnCount(), kColumnCount);
    for (int column = 0; column < kColumnCount; ++column) {
        const QModelIndex index = model.index(0, column);
        EXPECT_EQ(model.data(index, Qt::DisplayRole).toString().toStdString(), rows.cell(0, column));
        EXPECT_EQ(model.data(index, Qt::AccessibleTextRole).toString().toStdString(), rows.cell(0, column));
    }
    EXPECT_EQ(model.data(model.index(0, 0), RowTableModel::StateImageRole).toInt(), 2);
    EXPECT_EQ(model.data(model.index(0, 0), RowTableModel::TagRole).toInt(), rows.row(0).tag);
    EXPECT_EQ(model.headerData(Url, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(), "URL  Link");
    EXPECT_FALSE(model.setHeaderData(kColumnCount, Qt::Horizontal, QStringLiteral("x"), Qt::DisplayRole));
}

}  // namespace
