#include "marqueta/ui/RowTableModel.h"

#include "marqueta/ui/LocalText.h"
#include "marqueta/ui/SortRows.h"
#include "platform/Random.h"

RowTableModel::RowTableModel(RowTable& rows, Clock clock, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows), clock_(std::move(clock)) {
    if (!clock_) clock_ = [] { return std::time(nullptr); };
    today_ = LocalDayOf(clock_());
    for (const ColumnSpec& column : kColumns) {
        headings_.push_back(QString::fromLatin1(column.caption));
        alignments_.push_back(Qt::AlignLeft | Qt::AlignVCenter);
    }
    rows_.setObserver(this);
}

RowTableModel::~RowTableModel() { rows_.setObserver(nullptr); }

int RowTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_.count(); }

int RowTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant RowTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
    const CatalogueRow& row = rows_.row(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: return ToQt(row.cells.at(static_cast<std::size_t>(index.column())));
    case Qt::TextAlignmentRole: return QVariant::fromValue(alignments_.at(static_cast<std::size_t>(index.column())));
    case StateImageRole: return row.stateImage;
    case ImageIndexRole: return 0;  // every row shows the first small icon, as the list always did
    case TagRole: return row.tag;
    case ScheduleStateRole: return static_cast<int>(scheduleOf(row).state);
    // The state in words for the pointer and for screen readers, on every cell of the row.
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole: return ToQt(ScheduleDescription(scheduleOf(row)));
    default: return {};
    }
}

Schedule RowTableModel::scheduleOf(const CatalogueRow& row) const {
    return ScheduleOf(row.cells[BeginDate], row.cells[EndDate], today_);
}

void RowTableModel::readToday() {
    const CalendarDay day = LocalDayOf(clock_());
    if (day.number() == today_.number()) return;
    today_ = day;
    if (rows_.count() > 0) emit dataChanged(index(0, 0), index(rows_.count() - 1, kColumnCount - 1));
}

QVariant RowTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
    const auto column = static_cast<std::size_t>(section);
    if (role == Qt::DisplayRole || role == Qt::EditRole) return headings_[column];
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(alignments_[column]);
    return {};
}

bool RowTableModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return false;
    const auto column = static_cast<std::size_t>(section);
    if (role == Qt::DisplayRole || role == Qt::EditRole) headings_[column] = value.toString();
    else if (role == Qt::TextAlignmentRole) alignments_[column] = value.value<Qt::Alignment>();
    else return false;
    emit headerDataChanged(orientation, section, section);
    return true;
}

void RowTableModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kColumnCount) return;
    const RowSortKeys keys(rows_, column, clock_());
    const SortRequest request{column, &keys, order == Qt::AscendingOrder};
    const std::vector<int> sorted = SortedOrder(request);
    sortedOrder_ = &sorted;
    rows_.reorder(sorted);
    sortedOrder_ = nullptr;
}

void RowTableModel::rowAboutToBeInserted(int position) { beginInsertRows({}, position, position); }
void RowTableModel::rowInserted(int) { endInsertRows(); }
void RowTableModel::rowAboutToBeRemoved(int position) { beginRemoveRows({}, position, position); }
void RowTableModel::rowRemoved(int) { endRemoveRows(); }

void RowTableModel::rowChanged(int position) {
    emit dataChanged(index(position, 0), index(position, kColumnCount - 1));
}

void RowTableModel::movePersistentBy(const std::vector<int>& order) {
    std::vector<int> newPosition(order.size(), -1);
    for (std::size_t position = 0; position < order.size(); ++position)
        newPosition[static_cast<std::size_t>(order[position])] = static_cast<int>(position);
    QModelIndexList after;
    for (const QModelIndex& before : persistentBefore_)
        after.append(index(newPosition.at(static_cast<std::size_t>(before.row())), before.column()));
    finishOrderChange(after);
}

void RowTableModel::finishOrderChange(const QModelIndexList& after) {
    changePersistentIndexList(persistentBefore_, after);
    persistentBefore_.clear();
    persistentTags_.clear();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RowTableModel::orderAboutToChange() {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    persistentBefore_ = persistentIndexList();
    persistentTags_.clear();
    for (const QModelIndex& index : persistentBefore_) persistentTags_.push_back(rows_.row(index.row()).tag);
}

// The selection and the current row follow their rows to their new places.
void RowTableModel::orderChanged() {
    if (sortedOrder_) {
        movePersistentBy(*sortedOrder_);
        return;
    }
    std::vector<int> positionOfTag(platform::kRandMax + 1, -1);
    for (int position = 0; position < rows_.count(); ++position) {
        const int tag = rows_.row(position).tag;
        if (tag >= 0 && tag <= platform::kRandMax) positionOfTag[static_cast<std::size_t>(tag)] = position;
    }
    QModelIndexList after;
    for (std::size_t i = 0; i < persistentTags_.size(); ++i) {
        const int tag = persistentTags_[i];
        const int position = (tag >= 0 && tag <= platform::kRandMax) ? positionOfTag[static_cast<std::size_t>(tag)] : -1;
        after.append(position < 0 ? QModelIndex() : index(position, persistentBefore_[static_cast<qsizetype>(i)].column()));
    }
    finishOrderChange(after);
}
