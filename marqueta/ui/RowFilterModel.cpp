#include "marqueta/ui/RowFilterModel.h"

#include "marqueta/ui/RowTableModel.h"

RowFilterModel::RowFilterModel(QObject* parent) : QSortFilterProxyModel(parent) {
    // The rows keep the order of the rows underneath; sorting stays with the list's own sort.
    setDynamicSortFilter(true);
}

void RowFilterModel::setFindText(const QString& text) {
    if (text == findText_) return;
    findText_ = text;
    invalidateRowsFilter();
}

void RowFilterModel::setStateFilter(std::optional<ScheduleState> state) {
    if (state == state_) return;
    state_ = state;
    invalidateRowsFilter();
}

bool RowFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const QAbstractItemModel* rows = sourceModel();
    if (state_ && rows->index(sourceRow, 0, sourceParent).data(RowTableModel::ScheduleStateRole).toInt() !=
                      static_cast<int>(*state_))
        return false;
    if (findText_.isEmpty()) return true;
    for (int column = 0; column < rows->columnCount(sourceParent); ++column) {
        const QString text = rows->index(sourceRow, column, sourceParent).data(Qt::DisplayRole).toString();
        if (text.contains(findText_, Qt::CaseInsensitive)) return true;
    }
    return false;
}

QVariant RowFilterModel::data(const QModelIndex& index, int role) const {
    QVariant value = QSortFilterProxyModel::data(index, role);
    if (role == Qt::AccessibleDescriptionRole && index.column() == 0 && describePicture_ && index.isValid())
        return describePicture_(mapToSource(index).row()) + QStringLiteral(". ") + value.toString();
    return value;
}
