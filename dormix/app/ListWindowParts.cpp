#include "dormix/app/ListWindowParts.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace {

// Takes Enter away from the field before the dialog can hand it to a button.
class SwallowEnter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

FindField NewFindField(QWidget* parent) {
    auto* label = new QLabel(QStringLiteral("&Find:"), parent);
    auto* field = new QLineEdit(parent);
    field->setObjectName(QStringLiteral("findLineEdit"));
    field->setAccessibleName(QStringLiteral("Find:"));
    field->setClearButtonEnabled(true);
    field->installEventFilter(new SwallowEnter(field));
    label->setBuddy(field);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(field);
    return {row, field};
}

int ShowMatching(QTreeWidget* list, const QString& text) {
    int shown = 0;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        bool match = text.isEmpty();
        for (int column = 0; column < list->columnCount() && !match; ++column)
            match = item->text(column).contains(text, Qt::CaseInsensitive);
        item->setHidden(!match);
        if (!match) item->setSelected(false);
        shown += match;
    }
    return shown;
}

QPushButton* AddButton(QDialogButtonBox* buttons, const QString& text, QDialogButtonBox::ButtonRole role, const char* name) {
    QPushButton* button = buttons->addButton(text, role);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(text);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

bool Confirmed(platform::MessageBoxes& boxes, const std::string& question, const char* caption) {
    return boxes.show(question, caption, platform::Buttons::YesNoDefaultNo, platform::Severity::Question) ==
           platform::Answer::Yes;
}
