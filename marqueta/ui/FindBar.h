#pragma once
// The find field above the banner list: what is typed narrows the rows shown; Escape clears the
// field and hides it.
#include <QWidget>

class QLineEdit;

class FindBar : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QWidget* parent = nullptr);

    QLineEdit* field() const { return field_; }
    // Shows the bar with its text selected and the focus in the field.
    void open();
    // Empties the field, which shows every row again, and hides the bar.
    void close();

signals:
    void findTextChanged(const QString& text);
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* field_ = nullptr;
};
