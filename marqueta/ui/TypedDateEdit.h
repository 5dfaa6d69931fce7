#pragma once
// A date field that takes a date typed over it as typed: "01/15/2027" typed over 04/07/2027 gives
// 01/15/2027. The plain field ignores digits where its cursor stands in a full part without
// selecting it, takes the "/" after a part that two digits filled as a jump over the next part,
// and cuts a day to the month while the year is still the old one (2/29/2028 typed in 2027).
#include <optional>

#include <QDate>
#include <QDateEdit>
#include <QString>

// The day that keys typed in a row name: "M/D/YYYY" (one or two digits for month and day) or
// "MMDDYYYY"; none while they name no complete date, an invalid date when they name no day of the
// calendar.
std::optional<QDate> TypedDate(const QString& keys);

class TypedDateEdit : public QDateEdit {
    Q_OBJECT
public:
    explicit TypedDateEdit(QWidget* parent = nullptr);

signals:
    // A whole date was typed that the field cannot hold (no such day, or outside its range); the
    // field keeps the date it had, which the receiver can tell the user.
    void dateRefused(const QString& typed);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // A digit replaces the part it is typed into when that part is full or the whole text is
    // selected, as typing over a field does.
    void selectPartToReplace();

    QString typed_;       // digits and slashes typed in a row
    QDate beforeTyping_;  // the date the field held when typed_ began
    bool filledPart_ = false;  // the last digit filled its part and moved on to the next
};
