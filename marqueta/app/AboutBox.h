#pragma once
// "About MARQUETA": the program's picture, its version, and OK.
#include <QDialog>

class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
};
