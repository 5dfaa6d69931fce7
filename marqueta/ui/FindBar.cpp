#include "marqueta/ui/FindBar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

FindBar::FindBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("findBar"));
    auto* label = new QLabel(QStringLiteral("&Find"), this);
    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("findLineEdit"));
    field_->setClearButtonEnabled(true);
    label->setBuddy(field_);
    field_->setAccessibleName(QStringLiteral("Find"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(label);
    layout->addWidget(field_, 1);
    field_->installEventFilter(this);
    connect(field_, &QLineEdit::textChanged, this, &FindBar::findTextChanged);
    hide();
}

void FindBar::open() {
    show();
    field_->selectAll();
    field_->setFocus(Qt::ShortcutFocusReason);
}

void FindBar::close() {
    field_->clear();
    hide();
    emit closed();
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
