#include "marqueta/catalogue/RowTable.h"

#include <algorithm>
#include <utility>

#include "platform/Random.h"

namespace {

// With every value 0..32767 taken by other rows no draw can be distinct; the sort then
// merely finds the first row of a tag, as it did before tags were kept distinct.
constexpr int kTagValues = platform::kRandMax + 1;

}  // namespace

int RowTable::insertRow(int position) {
    return insertRow(position, Cells{}, drawFreshTag(-1));
}

int RowTable::insertRow(int position, Cells cells, int tag) {
    position = std::clamp(position, 0, count());
    if (observer_) observer_->rowAboutToBeInserted(position);
    rows_.insert(rows_.begin() + position, CatalogueRow{std::move(cells), tag, 0});
    ++changes_;
    countTag(tag, +1);
    if (observer_) observer_->rowInserted(position);
    return position;
}

void RowTable::removeRow(int position) {
    if (position < 0 || position >= count()) return;
    if (observer_) observer_->rowAboutToBeRemoved(position);
    countTag(rows_[position].tag, -1);
    rows_.erase(rows_.begin() + position);
    ++changes_;
    if (observer_) observer_->rowRemoved(position);
}

void RowTable::setCell(int position, int column, const std::string& text) {
    rows_.at(position).cells.at(column) = text;
    ++changes_;
    if (observer_) observer_->rowChanged(position);
}

void RowTable::setCells(int position, const Cells& cells) {
    rows_.at(position).cells = cells;
    ++changes_;
    if (observer_) observer_->rowChanged(position);
}

void RowTable::setStateImage(int position, int stateImage) {
    rows_.at(position).stateImage = stateImage;
    if (observer_) observer_->rowChanged(position);
}

void RowTable::redrawTag(int position) {
    const int tag = drawFreshTag(position);
    countTag(rows_.at(position).tag, -1);
    rows_[position].tag = tag;
    countTag(tag, +1);
    if (observer_) observer_->rowChanged(position);
}

int RowTable::findTag(int tag) const {
    for (int i = 0; i < count(); ++i)
        if (rows_[i].tag == tag) return i;
    return -1;
}

bool RowTable::tagTaken(int tag, int exceptPosition) const {
    if (tag < 0 || tag >= kTagValues) {
        for (int i = 0; i < count(); ++i)
            if (i != exceptPosition && rows_[i].tag == tag) return true;
        return false;
    }
    const bool ownTag = exceptPosition >= 0 && exceptPosition < count() && rows_[exceptPosition].tag == tag;
    return tagUse_[tag] - (ownTag ? 1 : 0) > 0;
}

void RowTable::countTag(int tag, int delta) {
    if (tag >= 0 && tag < kTagValues) tagUse_[tag] += delta;
}

int RowTable::distinctTag(int tag, int exceptPosition) const {
    const int others = exceptPosition >= 0 && exceptPosition < count() ? count() - 1 : count();
    if (others >= kTagValues) return tag;
    while (tagTaken(tag, exceptPosition)) tag = platform::NextRandom();
    return tag;
}

int RowTable::drawFreshTag(int exceptPosition) const {
    return distinctTag(platform::NextRandom(), exceptPosition);
}

void RowTable::stableSort(const std::function<bool(const CatalogueRow&, const CatalogueRow&)>& less) {
    if (observer_) observer_->orderAboutToChange();
    std::stable_sort(rows_.begin(), rows_.end(), less);
    ++changes_;
    if (observer_) observer_->orderChanged();
}

void RowTable::reorder(const std::vector<int>& order) {
    std::vector<bool> taken(rows_.size(), false);
    if (order.size() != rows_.size()) return;
    for (const int position : order) {
        if (position < 0 || position >= count() || taken[static_cast<std::size_t>(position)]) return;
        taken[static_cast<std::size_t>(position)] = true;
    }
    if (observer_) observer_->orderAboutToChange();
    // In place, one cycle of the permutation at a time: no second table of rows to fill.
    std::fill(taken.begin(), taken.end(), false);
    for (std::size_t first = 0; first < rows_.size(); ++first) {
        if (taken[first]) continue;
        CatalogueRow held = std::move(rows_[first]);
        for (std::size_t to = first;;) {
            taken[to] = true;
            const auto from = static_cast<std::size_t>(order[to]);
            if (from == first) {
                rows_[to] = std::move(held);
                break;
            }
            rows_[to] = std::move(rows_[from]);
            to = from;
        }
    }
    ++changes_;
    if (observer_) observer_->orderChanged();
}

void RowTable::clear() {
    // Row by row from the end, so an observer sees only the changes it already knows.
    while (!rows_.empty()) removeRow(count() - 1);
}
