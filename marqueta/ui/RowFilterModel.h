#pragma once
// Narrows the rows shown to those where any field contains the find text, case folded, and whose
// schedule state is the one asked for. Only what the list shows changes: the rows underneath,
// their order and their numbers stay whole.
#include <functional>
#include <optional>

#include <QSortFilterProxyModel>
#include <QString>

#include "marqueta/catalogue/ScheduleState.h"

class RowFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit RowFilterModel(QObject* parent = nullptr);

    // An empty text shows every row.
    void setFindText(const QString& text);
    const QString& findText() const { return findText_; }
    // None shows the rows of every state.
    void setStateFilter(std::optional<ScheduleState> state);
    std::optional<ScheduleState> stateFilter() const { return state_; }

    // While set, screen readers hear the picture of a row (given its position among all rows)
    // described before the state of its first cell.
    void setPictureDescription(std::function<QString(int)> describe) { describePicture_ = std::move(describe); }

    QVariant data(const QModelIndex& index, int role) const override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QString findText_;
    std::optional<ScheduleState> state_;
    std::function<QString(int)> describePicture_;
};
