#pragma once
// The plain file-open dialog that Browse shows: one existing file, every file listed.
#include <QFileDialog>

class CFileEditor : public QFileDialog {
    Q_OBJECT
public:
    // Opens in startDir; an empty startDir leaves the dialog's own default folder.
    explicit CFileEditor(QWidget* parent = nullptr, const QString& startDir = {});
};
