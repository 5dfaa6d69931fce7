#include "marqueta/ui/SortRows.h"

#include <QLocale>
#include <QString>

#include "common/Atol.h"
#include "marqueta/catalogue/CatalogueFile.h"
#include "marqueta/ui/LocalText.h"
#include "platform/Random.h"

namespace {

template <typename T>
int Order(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

int Sign(int value) { return (value > 0) - (value < 0); }

constexpr int kNoSlot = -1;
constexpr int kSharedTag = -2;

}  // namespace

QCollator TextCollator() {
    // The C locale would compare code points with case; its users get the default Unicode order.
    const QLocale user;
    QCollator collator{user.language() == QLocale::C ? QLocale(QLocale::English) : user};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

int CompareCells(SortKind kind, const std::string& first, const std::string& second, std::time_t now,
                 const QCollator& collator) {
    switch (kind) {
    case SortKind::Number: return Order(AtolLike(first), AtolLike(second));
    case SortKind::Date: return Order(ParseDateText(first, now), ParseDateText(second, now));
    case SortKind::Text: break;
    }
    return Sign(collator.compare(ToQt(first), ToQt(second)));
}

RowSortKeys::RowSortKeys(const RowTable& rows, int column, std::time_t now)
    : column_(column), kind_(kColumns.at(static_cast<std::size_t>(column)).kind), collator_(TextCollator()),
      slotOfTag_(platform::kRandMax + 1, kNoSlot) {
    for (int position = 0; position < rows.count(); ++position) {
        const CatalogueRow& row = rows.row(position);
        const std::string& text = row.cells.at(static_cast<std::size_t>(column));
        const auto [where, fresh] = slotOfText_.try_emplace(text, static_cast<int>(slotOfText_.size()));
        if (row.tag >= 0 && row.tag <= platform::kRandMax) {
            int& byTag = slotOfTag_[static_cast<std::size_t>(row.tag)];
            byTag = (byTag == kNoSlot || byTag == where->second) ? where->second : kSharedTag;
        }
        if (!fresh) continue;
        switch (kind_) {
        case SortKind::Number: numbers_.push_back(AtolLike(text)); break;
        case SortKind::Date: numbers_.push_back(ParseDateText(text, now)); break;
        case SortKind::Text: texts_.push_back(collator_.sortKey(ToQt(text))); break;
        }
    }
}

int RowSortKeys::slotOf(const CatalogueRow& row) const {
    if (row.tag >= 0 && row.tag <= platform::kRandMax) {
        const int byTag = slotOfTag_[static_cast<std::size_t>(row.tag)];
        if (byTag >= 0) return byTag;
    }
    return slotOfText_.at(row.cells.at(static_cast<std::size_t>(column_)));
}

int RowSortKeys::compare(const CatalogueRow& first, const CatalogueRow& second) const {
    const auto a = static_cast<std::size_t>(slotOf(first));
    const auto b = static_cast<std::size_t>(slotOf(second));
    if (kind_ == SortKind::Text) return Sign(texts_[a].compare(texts_[b]));
    return Order(numbers_[a], numbers_[b]);
}

int CompareRows(const CatalogueRow& first, const CatalogueRow& second, const SortRequest& request) {
    const int result = request.keys->compare(first, second);
    return request.ascending ? result : -result;
}
