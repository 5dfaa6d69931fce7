#pragma once
// The plain file-open dialog that Browse shows: one existing file, every file listed.
#include <QFileDialog>

class OpenFileDialog : public QFileDialog {
    Q_OBJECT
public:
    // Opens in startDir; an empty startDir leaves the dialog's own default folder.
    explicit OpenFileDialog(QWidget* parent = nullptr, const QString& startDir = {});
};
