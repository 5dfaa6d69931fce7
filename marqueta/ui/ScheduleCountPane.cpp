#include "marqueta/ui/ScheduleCountPane.h"

#include "marqueta/ui/LocalText.h"
#include "marqueta/ui/RowTableModel.h"

ScheduleCountPane::ScheduleCountPane(RowTableModel& rows, QWidget* parent) : QLabel(parent), rows_(rows) {
    setObjectName(QStringLiteral("scheduleCountLabel"));
    pending_.setSingleShot(true);
    pending_.setInterval(0);
    connect(&pending_, &QTimer::timeout, this, &ScheduleCountPane::recount);
    const auto later = [this] { pending_.start(); };
    connect(&rows_, &QAbstractItemModel::rowsInserted, this, later);
    connect(&rows_, &QAbstractItemModel::rowsRemoved, this, later);
    connect(&rows_, &QAbstractItemModel::dataChanged, this, later);
    connect(&rows_, &QAbstractItemModel::modelReset, this, later);
    recount();
}

void ScheduleCountPane::recount() {
    const QString text = ToQt(ScheduleSummary(CountSchedules(rows_.rows(), rows_.today())));
    setText(text);
    setAccessibleName(text);
}
