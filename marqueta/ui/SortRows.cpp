#include "marqueta/ui/SortRows.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include <QLocale>
#include <QString>

#include "common/Atol.h"
#include "marqueta/catalogue/CatalogueFile.h"
#include "marqueta/ui/LocalText.h"

namespace {

template <typename T>
int Order(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

int Sign(int value) { return (value > 0) - (value < 0); }

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
    : kind_(kColumns.at(static_cast<std::size_t>(column)).kind) {
    const QCollator collator = TextCollator();
    std::unordered_map<std::string, int> slotOfText;
    slotOfPosition_.reserve(static_cast<std::size_t>(rows.count()));
    for (int position = 0; position < rows.count(); ++position) {
        const std::string& text = rows.cell(position, column);
        const auto [where, fresh] = slotOfText.try_emplace(text, static_cast<int>(slotOfText.size()));
        slotOfPosition_.push_back(where->second);
        if (!fresh) continue;
        switch (kind_) {
        case SortKind::Number: numbers_.push_back(AtolLike(text)); break;
        case SortKind::Date: numbers_.push_back(ParseDateText(text, now)); break;
        case SortKind::Text: texts_.push_back(collator.sortKey(ToQt(text))); break;
        }
    }
}

int RowSortKeys::compare(int first, int second) const {
    const auto a = static_cast<std::size_t>(slotOfPosition_[static_cast<std::size_t>(first)]);
    const auto b = static_cast<std::size_t>(slotOfPosition_[static_cast<std::size_t>(second)]);
    if (a == b) return 0;
    if (kind_ == SortKind::Text) return Sign(texts_[a].compare(texts_[b]));
    return Order(numbers_[a], numbers_[b]);
}

int CompareRows(int first, int second, const SortRequest& request) {
    const int result = request.keys->compare(first, second);
    return request.ascending ? result : -result;
}

std::vector<int> SortedOrder(const SortRequest& request) {
    std::vector<int> order(static_cast<std::size_t>(request.keys->count()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&request](int a, int b) { return CompareRows(a, b, request) < 0; });
    return order;
}
