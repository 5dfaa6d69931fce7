#pragma once
// The status-bar pane with the banners' counts by schedule state, kept up to date with the rows
// and with today's date.
#include <QLabel>
#include <QTimer>

class RowTableModel;

class ScheduleCountPane : public QLabel {
    Q_OBJECT
public:
    ScheduleCountPane(RowTableModel& rows, QWidget* parent = nullptr);

private:
    void recount();

    RowTableModel& rows_;
    // Rows change one at a time while a catalogue loads; they are counted once afterwards.
    QTimer pending_;
};
