#pragma once
// The image file-open dialog behind a thin seam, so that tests can answer it.
#include <optional>
#include <string>

class QWidget;

// Shows the file-open dialog (all files, starting in startDir) and returns the chosen path,
// or nothing when cancelled. A test may queue the next answer instead.
std::optional<std::string> ChooseImageFile(QWidget* parent, const std::string& startDir);
void SetNextChosenImageFile(std::optional<std::string> path);  // tests only
