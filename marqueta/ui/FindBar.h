#pragma once
// The find bar above the banner list: what is typed, and the schedule state chosen beside it,
// narrow the rows shown, and the bar says how many it shows. Escape clears both and hides it.
#include <QString>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class RowFilterModel;

class FindBar : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QWidget* parent = nullptr);

    // The rows the bar narrows and counts; they must outlive the bar.
    void setFilter(RowFilterModel* filter);

    QLineEdit* field() const { return field_; }
    // Shows the bar with its text selected and the focus in the field.
    void open();
    // Empties the field and shows every state, which shows every row again, and hides the bar.
    void close();

    // "3 of 6 banners shown", or "No banner matches 'x'" when the find text hides every row.
    static QString CountText(int shown, int total, const QString& findText);

signals:
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Counts at the next turn of the event loop, once for a whole burst of changes (a load
    // inserts its rows one by one).
    void countSoon();
    void count();

    QLineEdit* field_ = nullptr;
    QComboBox* states_ = nullptr;
    QLabel* count_ = nullptr;
    RowFilterModel* filter_ = nullptr;
    bool countPending_ = false;
};
