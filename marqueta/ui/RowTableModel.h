#pragma once
// The banner rows as a Qt table: the view draws and sorts through it, the catalogue code edits
// the RowTable underneath and the model follows as its observer.
#include <ctime>
#include <functional>
#include <vector>

#include <QAbstractTableModel>
#include <QString>

#include "marqueta/catalogue/RowTable.h"
#include "marqueta/catalogue/ScheduleState.h"

class RowTableModel : public QAbstractTableModel, private RowTableObserver {
    Q_OBJECT
public:
    enum Role {
        StateImageRole = Qt::UserRole + 1,  // int: 0 none, 1 empty box, 2 ticked box
        ImageIndexRole,                     // int: the row's small image
        TagRole,                            // int: the row's tag
        ScheduleStateRole,                  // int: the row's ScheduleState on today()
    };
    using Clock = std::function<std::time_t()>;

    // rows must outlive the model. clock gives the moment that dates without two slashes
    // stand for; it is read once per sort, and once here for today().
    explicit RowTableModel(RowTable& rows, Clock clock = {}, QObject* parent = nullptr);
    ~RowTableModel() override;

    RowTable& rows() { return rows_; }

    // The day the rows' schedule states are judged on.
    const CalendarDay& today() const { return today_; }
    // Reads today from the clock again; the states of every row follow when the day changed.
    void readToday();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Heading texts and alignments are kept here; the sort writes its marks through this.
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) override;
    // A stable sort by the column's kind; level rows keep their order in both directions.
    void sort(int column, Qt::SortOrder order) override;

private:
    Schedule scheduleOf(const CatalogueRow& row) const;
    void rowAboutToBeInserted(int position) override;
    void rowInserted(int position) override;
    void rowAboutToBeRemoved(int position) override;
    void rowRemoved(int position) override;
    void rowChanged(int position) override;
    void orderAboutToChange() override;
    void orderChanged() override;
    void movePersistentBy(const std::vector<int>& order);
    void finishOrderChange(const QModelIndexList& after);

    RowTable& rows_;
    Clock clock_;
    CalendarDay today_;
    std::vector<QString> headings_;
    std::vector<Qt::Alignment> alignments_;
    // While the order changes: the tag of the row each persistent index stood on.
    std::vector<int> persistentTags_;
    // While the model's own sort reorders the rows: the new order, which moves every persistent
    // index exactly, also where rows share a tag (lists of more rows than there are tags).
    const std::vector<int>* sortedOrder_ = nullptr;
    QModelIndexList persistentBefore_;
};
