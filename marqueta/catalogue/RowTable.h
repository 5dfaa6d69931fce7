#pragma once
// The rows of the banner list in display order: while the program runs, the only copy of the
// catalogue. The list's Qt model observes it; the core edits it.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "marqueta/catalogue/BannerRecord.h"
#include "platform/Random.h"

struct CatalogueRow {
    Cells cells;
    int tag = 0;         // random 0..32767, distinct within the table; stored nowhere
    int stateImage = 0;  // 0 none, 1 empty check box, 2 ticked check box
};

class RowTableObserver {
public:
    virtual ~RowTableObserver() = default;
    virtual void rowAboutToBeInserted(int /*position*/) {}
    virtual void rowInserted(int /*position*/) {}
    virtual void rowAboutToBeRemoved(int /*position*/) {}
    virtual void rowRemoved(int /*position*/) {}
    virtual void rowChanged(int /*position*/) {}
    virtual void orderAboutToChange() {}
    virtual void orderChanged() {}
};

class RowTable {
public:
    int count() const { return static_cast<int>(rows_.size()); }
    const CatalogueRow& row(int position) const { return rows_.at(position); }
    const std::string& cell(int position, int column) const { return rows_.at(position).cells.at(column); }

    // Inserts an empty row at position with a fresh tag; returns the position.
    int insertRow(int position);
    // Inserts a row with these cells and this tag as it is (the caller keeps tags distinct,
    // e.g. with distinctTag); returns the position.
    int insertRow(int position, Cells cells, int tag);
    void removeRow(int position);
    void setCell(int position, int column, const std::string& text);
    void setCells(int position, const Cells& cells);
    void setStateImage(int position, int stateImage);
    // Gives the row a fresh tag: drawn again until no other row carries it.
    void redrawTag(int position);
    // Position of the row carrying tag, or -1.
    int findTag(int tag) const;
    // tag itself when no row but the one at exceptPosition (-1: none) carries it, else the
    // first further draw that no such row carries.
    int distinctTag(int tag, int exceptPosition = -1) const;

    // Reorders the rows by less (a strict weak order), keeping equal rows in their order.
    void stableSort(const std::function<bool(const CatalogueRow&, const CatalogueRow&)>& less);
    // Puts the rows into this order: order[i] is the position of the row that becomes row i.
    // Anything but a permutation of the positions leaves the rows as they are.
    void reorder(const std::vector<int>& order);

    void clear();
    // Counts every change of the cells, the rows or their order (not of marks or tags): two equal
    // counts mean the list was not changed in between.
    std::uint64_t changes() const { return changes_; }
    // Room for this many rows without moving them again.
    void reserve(int count) { rows_.reserve(static_cast<std::size_t>(std::max(count, 0))); }
    void setObserver(RowTableObserver* observer) { observer_ = observer; }

private:
    int drawFreshTag(int exceptPosition) const;
    bool tagTaken(int tag, int exceptPosition) const;

    void countTag(int tag, int delta);

    std::vector<CatalogueRow> rows_;
    std::uint64_t changes_ = 0;
    // How many rows carry each tag, so that a fresh draw is checked in constant time even when
    // the catalogue is large.
    std::vector<int> tagUse_ = std::vector<int>(platform::kRandMax + 1, 0);
    RowTableObserver* observer_ = nullptr;
};
