#include "marqueta/ui/RowFilterModel.h"

RowFilterModel::RowFilterModel(QObject* parent) : QSortFilterProxyModel(parent) {
    // The rows keep the order of the rows underneath; sorting stays with the list's own sort.
    setDynamicSortFilter(true);
}

void RowFilterModel::setFindText(const QString& text) {
    if (text == findText_) return;
    findText_ = text;
    invalidateRowsFilter();
}

bool RowFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (findText_.isEmpty()) return true;
    const QAbstractItemModel* rows = sourceModel();
    for (int column = 0; column < rows->columnCount(sourceParent); ++column) {
        const QString text = rows->index(sourceRow, column, sourceParent).data(Qt::DisplayRole).toString();
        if (text.contains(findText_, Qt::CaseInsensitive)) return true;
    }
    return false;
}
