#include "marqueta/ui/FileDialogHook.h"

#include <QDir>
#include <QStringList>

#include "marqueta/ui/OpenFileDialog.h"
#include "marqueta/ui/LocalText.h"

namespace {

// Outer optional: whether a test queued an answer; inner: the answer itself (nothing = cancel).
std::optional<std::optional<std::string>>& NextAnswer() {
    static std::optional<std::optional<std::string>> next;
    return next;
}

}  // namespace

std::optional<std::string> ChooseImageFile(QWidget* parent, const std::string& startDir) {
    if (NextAnswer().has_value()) {
        std::optional<std::string> answer = *NextAnswer();
        NextAnswer().reset();
        return answer;
    }
    OpenFileDialog dialog(parent, ToQt(startDir));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return FromQt(QDir::toNativeSeparators(chosen.first()));
}

void SetNextChosenImageFile(std::optional<std::string> path) { NextAnswer() = std::move(path); }
