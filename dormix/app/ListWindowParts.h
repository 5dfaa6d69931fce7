#pragma once
// What the windows that list accounts share: a "Find:" field that narrows a list as one types,
// and buttons and questions that Enter never answers with Yes, so that no keystroke meant for
// the search can start a deletion or a restore.
#include <string>

#include <QDialogButtonBox>
#include <QString>

#include "platform/MessageBox.h"

class QHBoxLayout;
class QPushButton;
class QLineEdit;
class QTreeWidget;
class QWidget;

// The label "&Find:" and its field (accessible name "Find:"), side by side in a row of their own.
struct FindField {
    QHBoxLayout* row = nullptr;
    QLineEdit* field = nullptr;
};
FindField NewFindField(QWidget* parent);

// Shows the rows of list that hold text in some column, ignoring case (every row for an empty
// text), and hides the others; a hidden row is no longer chosen. The number of rows shown.
int ShowMatching(QTreeWidget* list, const QString& text);

// A button of buttons, named name, with its text as its accessible name; it is never the default.
QPushButton* AddButton(QDialogButtonBox* buttons, const QString& text, QDialogButtonBox::ButtonRole role, const char* name);

// Asked before the chosen accounts are acted on, with caption; Enter answers No. True for Yes.
bool Confirmed(platform::MessageBoxes& boxes, const std::string& question, const char* caption);
