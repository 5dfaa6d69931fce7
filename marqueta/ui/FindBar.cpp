#include "marqueta/ui/FindBar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "marqueta/ui/RowFilterModel.h"

namespace {

// The choices beside the find field; after "All", in the order of ScheduleState.
const char* const kStateChoices[] = {"All", "Running", "Ends soon", "Scheduled", "Expired"};

}  // namespace

FindBar::FindBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("findBar"));
    auto* label = new QLabel(QStringLiteral("&Find"), this);
    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("findLineEdit"));
    field_->setClearButtonEnabled(true);
    label->setBuddy(field_);
    field_->setAccessibleName(QStringLiteral("Find"));
    auto* statesLabel = new QLabel(QStringLiteral("Sh&ow"), this);
    states_ = new QComboBox(this);
    states_->setObjectName(QStringLiteral("findStateComboBox"));
    states_->setAccessibleName(QStringLiteral("Show"));
    for (const char* choice : kStateChoices) states_->addItem(QString::fromLatin1(choice));
    statesLabel->setBuddy(states_);
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("findCountLabel"));
    count_->setTextFormat(Qt::PlainText);  // the find text is shown as typed, never as markup
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(label);
    layout->addWidget(field_, 1);
    layout->addWidget(statesLabel);
    layout->addWidget(states_);
    layout->addWidget(count_);
    field_->installEventFilter(this);
    states_->installEventFilter(this);
    hide();
}

void FindBar::setFilter(RowFilterModel* filter) {
    filter_ = filter;
    connect(field_, &QLineEdit::textChanged, filter, &RowFilterModel::setFindText);
    connect(field_, &QLineEdit::textChanged, this, &FindBar::countSoon);
    connect(states_, &QComboBox::currentIndexChanged, filter, [filter](int choice) {
        filter->setStateFilter(choice > 0 ? std::optional(static_cast<ScheduleState>(choice - 1)) : std::nullopt);
    });
    // The shown rows change with the filter; the total also with rows the filter hides.
    for (const QAbstractItemModel* model : {static_cast<QAbstractItemModel*>(filter), filter->sourceModel()}) {
        if (!model) continue;
        connect(model, &QAbstractItemModel::rowsInserted, this, &FindBar::countSoon);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &FindBar::countSoon);
        connect(model, &QAbstractItemModel::modelReset, this, &FindBar::countSoon);
        connect(model, &QAbstractItemModel::layoutChanged, this, &FindBar::countSoon);
    }
    count();
}

void FindBar::open() {
    show();
    field_->selectAll();
    field_->setFocus(Qt::ShortcutFocusReason);
}

void FindBar::close() {
    field_->clear();
    states_->setCurrentIndex(0);
    hide();
    emit closed();
}

QString FindBar::CountText(int shown, int total, const QString& findText) {
    if (shown == 0 && !findText.isEmpty()) return QStringLiteral("No banner matches '%1'").arg(findText);
    return QStringLiteral("%1 of %2 %3 shown").arg(shown).arg(total).arg(total == 1 ? QStringLiteral("banner") : QStringLiteral("banners"));
}

void FindBar::countSoon() {
    if (countPending_) return;
    countPending_ = true;
    QTimer::singleShot(0, this, &FindBar::count);
}

void FindBar::count() {
    countPending_ = false;
    if (!filter_ || !filter_->sourceModel()) return;
    count_->setText(CountText(filter_->rowCount(), filter_->sourceModel()->rowCount(), filter_->findText()));
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == field_ || watched == states_) && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
