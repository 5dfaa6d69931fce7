#include "marqueta/ui/OpenFileDialog.h"

OpenFileDialog::OpenFileDialog(QWidget* parent, const QString& startDir) : QFileDialog(parent) {
    setWindowTitle(QStringLiteral("Open"));
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    // No name filter: any file may be a banner image.
    if (!startDir.isEmpty()) setDirectory(startDir);
}
