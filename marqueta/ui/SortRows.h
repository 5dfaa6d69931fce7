#pragma once
// Comparing rows for the sort by a column heading: text, number or date, by the column's kind.
#include <ctime>
#include <string>
#include <unordered_map>
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

// The keys of one sort: each distinct text of the sorted column is read once by the column's
// kind, so that a sort costs n log n cheap key comparisons. A row's key is found by its tag in
// constant time; only a tag that several rows carry (a list of more rows than there are tags)
// falls back to finding the key by the row's text.
class RowSortKeys {
public:
    RowSortKeys(const RowTable& rows, int column, std::time_t now);
    // Compares the keys of the two rows' texts in the sorted column.
    int compare(const CatalogueRow& first, const CatalogueRow& second) const;

private:
    int slotOf(const CatalogueRow& row) const;

    int column_;
    SortKind kind_;
    QCollator collator_;
    std::unordered_map<std::string, int> slotOfText_;
    std::vector<int> slotOfTag_;  // slot of the one row carrying the tag, or kNoSlot / kSharedTag
    std::vector<long long> numbers_;       // number and date keys, by slot
    std::vector<QCollatorSortKey> texts_;  // text keys, by slot
};

struct SortRequest {
    int column = 0;
    const RowSortKeys* keys = nullptr;
    bool ascending = true;  // false: every comparison negated
};

// The sort comparison of two rows; negative when the first sorts before the second.
int CompareRows(const CatalogueRow& first, const CatalogueRow& second, const SortRequest& request);
