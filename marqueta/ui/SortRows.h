#pragma once
// Comparing rows for the sort by a column heading: text, number or date, by the column's kind.
#include <ctime>
#include <string>
#include <vector>

#include <QCollator>

#include "marqueta/catalogue/BannerRecord.h"
#include "marqueta/catalogue/RowTable.h"

// Texts compare without regard to case in the user's locale.
QCollator TextCollator();

// Compares two cell texts by kind: negative, zero or positive. number: as atol reads them;
// date: by ParseDateText, with `now` standing for a text that lacks two slashes.
int CompareCells(SortKind kind, const std::string& first, const std::string& second, std::time_t now,
                 const QCollator& collator);

// The keys of one sort: each distinct text in the sorted column is read once by the column's
// kind, the distinct texts are put in order once (texts by their characters' weights, the order
// then proved with the collator between neighbours; collation keys where it does not hold), and
// each row carries the rank of its text, equal for rows that compare level. A sort so costs one
// ordering of the distinct texts and no comparison per row. Rows are named by their positions
// when the keys were made.
class RowSortKeys {
public:
    RowSortKeys(const RowTable& rows, int column, std::time_t now);
    // Compares the keys of the rows at the two positions.
    int compare(int first, int second) const;
    int count() const { return static_cast<int>(rankOfPosition_.size()); }
    int rank(int position) const { return rankOfPosition_[static_cast<std::size_t>(position)]; }
    // One more than the highest rank.
    int rankCount() const { return rankCount_; }

private:
    std::vector<int> rankOfPosition_;
    int rankCount_ = 0;
};

struct SortRequest {
    int column = 0;
    const RowSortKeys* keys = nullptr;
    bool ascending = true;  // false: every comparison negated
};

// The sort comparison of the rows at two positions; negative when the first sorts before the second.
int CompareRows(int first, int second, const SortRequest& request);

// The rows' positions in sorted order. Stable: rows that compare level keep their order, in
// both directions. Takes time in proportion to the rows, the ranks having been found already.
std::vector<int> SortedOrder(const SortRequest& request);
