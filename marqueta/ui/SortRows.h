#pragma once
// Comparing rows for the sort by a column heading: text, number or date, by the column's kind.
#include <ctime>
#include <string>
#include <vector>

#include <QCollator>
#include <QCollatorSortKey>

#include "marqueta/catalogue/BannerRecord.h"
#include "marqueta/catalogue/RowTable.h"

// Texts compare without regard to case in the user's locale.
QCollator TextCollator();

// Compares two cell texts by kind: negative, zero or positive. number: as atol reads them;
// date: by ParseDateText, with `now` standing for a text that lacks two slashes.
int CompareCells(SortKind kind, const std::string& first, const std::string& second, std::time_t now,
                 const QCollator& collator);

// The keys of one sort: each row's text in the sorted column is read once by the column's kind
// (a text's collation key is made once for all rows that hold it), so that a sort costs
// n log n cheap key comparisons. Rows are named by their positions when the keys were made.
class RowSortKeys {
public:
    RowSortKeys(const RowTable& rows, int column, std::time_t now);
    // Compares the keys of the rows at the two positions.
    int compare(int first, int second) const;
    int count() const { return static_cast<int>(slotOfPosition_.size()); }

private:
    SortKind kind_;
    std::vector<int> slotOfPosition_;
    std::vector<long long> numbers_;       // number and date keys, by slot
    std::vector<QCollatorSortKey> texts_;  // text keys, by slot
};

struct SortRequest {
    int column = 0;
    const RowSortKeys* keys = nullptr;
    bool ascending = true;  // false: every comparison negated
};

// The sort comparison of the rows at two positions; negative when the first sorts before the second.
int CompareRows(int first, int second, const SortRequest& request);

// The rows' positions in sorted order. Stable: rows that compare level keep their order, in
// both directions.
std::vector<int> SortedOrder(const SortRequest& request);
