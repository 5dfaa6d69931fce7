#pragma once
#include <QDialog>

// "About Dormix": the program icon, its version and OK.
class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDialog(QWidget* parent = nullptr);
};
