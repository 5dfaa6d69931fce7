#include "dormix/app/CPreviewWindow.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dormix/app/CAgeChart.h"
#include "dormix/app/ListWindowParts.h"
#include "dormix/scan/AccountList.h"
#include "dormix/scan/AccountLog.h"
#include "dormix/scan/CsvFile.h"
#include "dormix/scan/RunPlan.h"
#include "platform/Clock.h"

namespace {

enum DormantColumn { kUserName, kFolder, kLastLogon, kDaysSince, kNote };
constexpr int kAccountIndex = Qt::UserRole;  // where each row keeps its account's place in the list
constexpr int kMaxStretch = 50;              // beyond this many rows a list scrolls rather than grows

QString Local(const std::string& text) { return QString::fromLocal8Bit(text); }

QTreeWidget* NewList(const QStringList& headings, const QString& name, QLabel* label, QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setHeaderLabels(headings);
    list->setRootIsDecorated(false);
    list->setAllColumnsShowFocus(true);
    list->setSortingEnabled(true);
    list->setAccessibleName(label->text());
    label->setBuddy(list);
    return list;
}

QTreeWidgetItem* NewRow(QTreeWidget* list, std::size_t index) {
    auto* item = new QTreeWidgetItem(list);
    item->setData(0, kAccountIndex, static_cast<qulonglong>(index));
    return item;
}

std::vector<std::size_t> Shown(const QTreeWidget* list) {
    std::vector<std::size_t> shown;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        if (!item->isHidden()) shown.push_back(item->data(0, kAccountIndex).toULongLong());
    }
    return shown;
}

}  // namespace

CPreviewWindow::CPreviewWindow(const std::vector<AccountJudgement>& accounts, std::int32_t days, std::time_t now,
                               platform::MessageBoxes& boxes, QWidget* parent,
                               const std::vector<AccountJudgement>& pending)
    : QDialog(parent), accounts_(pending), pendingCount_(pending.size()), boxes_(boxes),
      defaultFileName_(QStringLiteral("dormant-accounts-%1.csv").arg(Local(platform::LocalTimeText(now, "%Y-%m-%d")))) {
    setObjectName(QStringLiteral("previewWindow"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    toDelete_ = CountDormant(accounts) + static_cast<int>(pending.size());
    resize(720, 480);
    accounts_.insert(accounts_.end(), accounts.begin(), accounts.end());

    auto* threshold =
        new QLabel(QStringLiteral("Dormant: last logon more than %1 days ago").arg(days), this);
    threshold->setObjectName(QStringLiteral("thresholdLabel"));
    const FindField findField = NewFindField(this);
    connect(findField.field, &QLineEdit::textChanged, this, &CPreviewWindow::find);
    auto* findRow = new QHBoxLayout;
    findRow->addWidget(threshold, 1);
    findRow->addLayout(findField.row);

    dormantLabel_ = new QLabel(QStringLiteral("Accounts to be deleted:"), this);
    dormantList_ = NewList({QStringLiteral("User Name"), QStringLiteral("Account Folder"), QStringLiteral("Last Logon"),
                            QStringLiteral("Days Since"), QStringLiteral("Note")},
                           QStringLiteral("dormantList"), dormantLabel_, this);
    auto* otherLabel = new QLabel(QStringLiteral("Accounts not deleted, and why:"), this);
    otherList_ =
        NewList({QStringLiteral("User Name"), QStringLiteral("Reason")}, QStringLiteral("otherList"), otherLabel, this);

    // No button is the default: Enter anywhere in the window deletes nothing.
    auto* buttons = new QDialogButtonBox(this);
    deleteButton_ = AddButton(buttons, QStringLiteral("Delete These Accounts..."), QDialogButtonBox::ActionRole, "deleteButton");
    QPushButton* save = AddButton(buttons, QStringLiteral("Save List..."), QDialogButtonBox::ActionRole, "saveListButton");
    AddButton(buttons, QStringLiteral("Close"), QDialogButtonBox::RejectRole, "closeButton");
    connect(deleteButton_, &QPushButton::clicked, this, &CPreviewWindow::requestDelete);
    connect(save, &QPushButton::clicked, this, &CPreviewWindow::chooseFileAndSave);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(findRow);
    layout->addWidget(dormantLabel_);
    layout->addWidget(dormantList_);
    layout->addWidget(otherLabel);
    layout->addWidget(otherList_);
    layout->addWidget(buttons);

    fillDormant();
    fillOthers();
    // Each list gets room by its rows, so that a long list of accounts to warn is not squeezed
    // under a short one of accounts to delete.
    layout->setStretchFactor(dormantList_, std::clamp(dormantList_->topLevelItemCount(), 1, kMaxStretch));
    layout->setStretchFactor(otherList_, std::clamp(otherList_->topLevelItemCount(), 1, kMaxStretch));
    showCount(toDelete_);
}

// The title counts the accounts that "Delete These Accounts..." would delete: those shown.
void CPreviewWindow::showCount(int shown) {
    setWindowTitle(shown == toDelete_
                       ? QStringLiteral("Preview: %1 account(s) would be deleted").arg(toDelete_)
                       : QStringLiteral("Preview: %1 of %2 account(s) shown would be deleted").arg(shown).arg(toDelete_));
    deleteButton_->setEnabled(shown > 0);
}

void CPreviewWindow::fillDormant() {
    for (std::size_t i = 0; i < accounts_.size(); ++i) {
        const AccountJudgement& account = accounts_[i];
        if (account.verdict != Verdict::Dormant) continue;
        QTreeWidgetItem* item = NewRow(dormantList_, i);
        item->setText(kUserName, Local(account.userName));
        item->setText(kFolder, Local(account.folder));
        if (account.lastLogon) {
            item->setText(kLastLogon, Local(LogonDateText(*account.lastLogon)));
            item->setData(kDaysSince, Qt::DisplayRole, account.daysSince);  // sorts as a number
        }
        item->setTextAlignment(kDaysSince, Qt::AlignRight | Qt::AlignVCenter);
        if (isPending(i)) item->setText(kNote, QString::fromLatin1(kPendingMark));
    }
    dormantList_->sortByColumn(kDaysSince, Qt::DescendingOrder);
    for (int column = 0; column < dormantList_->columnCount(); ++column) dormantList_->resizeColumnToContents(column);
}

void CPreviewWindow::fillOthers() {
    for (std::size_t i = 0; i < accounts_.size(); ++i) {
        const AccountJudgement& account = accounts_[i];
        if (account.verdict == Verdict::Dormant || !Listed(account)) continue;  // kept ones with their warning note
        QTreeWidgetItem* item = NewRow(otherList_, i);
        item->setText(0, Local(account.userName));
        item->setText(1, Local(NotDeletedReason(account)));
    }
    otherList_->sortByColumn(0, Qt::AscendingOrder);
    otherList_->resizeColumnToContents(0);
}

void CPreviewWindow::find(const QString& text) {
    ShowMatching(otherList_, text);
    showCount(ShowMatching(dormantList_, text));
}

std::set<std::string> CPreviewWindow::foldersShown() const {
    std::set<std::string> folders;
    for (const std::size_t index : Shown(dormantList_)) folders.insert(accounts_[index].folder);
    return folders;
}

bool CPreviewWindow::saveList(const QString& path) {
    std::vector<CsvRow> rows{AccountListHeader()};
    for (const QTreeWidget* list : {dormantList_, otherList_}) {
        for (const std::size_t index : Shown(list)) {
            CsvRow row;
            for (const std::string& field : AccountListRow(accounts_[index], isPending(index)))
                row.push_back(Local(field).toUtf8().toStdString());
            rows.push_back(std::move(row));
        }
    }
    const std::string file = path.toLocal8Bit().toStdString();
    if (SaveCsvFile(file, rows) == 0) return true;
    boxes_.error(UnableToCreateFileText(file));
    return false;
}

void CPreviewWindow::chooseFileAndSave() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save List"), defaultFileName_,
                                                      QStringLiteral("CSV files (*.csv)"));
    if (!path.isEmpty()) saveList(path);
}

void CPreviewWindow::showAges(const AccountAges& ages) {
    auto* heading = new QLabel(QStringLiteral("Accounts by time since their last logon:"), this);
    auto* chart = new CAgeChart(ages, this);
    auto* going = new QLabel(QString::fromLatin1(AgesThresholdText(ages).c_str()), this);
    going->setObjectName(QStringLiteral("agesThresholdLabel"));
    heading->setBuddy(chart);
    chart->setAccessibleName(heading->text());
    auto* box = static_cast<QVBoxLayout*>(layout());
    box->insertWidget(1, heading);
    box->insertWidget(2, chart);
    box->insertWidget(3, going);
}

void CPreviewWindow::showQuarantine(const std::vector<QuarantineEntry>& entries,
                                    const std::vector<std::optional<std::time_t>>& purgeDays) {
    if (entries.empty()) return;
    auto* label = new QLabel(QStringLiteral("Accounts in quarantine, and when they are purged:"), this);
    QTreeWidget* list = NewList({QStringLiteral("User Name"), QStringLiteral("Account Folder"),
                                 QStringLiteral("Quarantined On"), QStringLiteral("Purge Due")},
                                QStringLiteral("quarantineList"), label, this);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        auto* item = new QTreeWidgetItem(list);
        item->setText(0, Local(entries[i].userName));
        item->setText(1, Local(entries[i].folderName));
        item->setText(2, Local(LogonDateText(entries[i].quarantinedOn)));
        item->setText(3, purgeDays[i] ? Local(LogonDateText(*purgeDays[i])) : QString());
    }
    list->sortByColumn(3, Qt::AscendingOrder);
    auto* box = static_cast<QVBoxLayout*>(layout());
    box->insertWidget(box->count() - 1, label);
    box->insertWidget(box->count() - 1, list, 1);
}

void CPreviewWindow::showPlanSteps(const RunPlan& plan, const std::string& installPath) {
    if (plan.restorableUntil) {
        dormantLabel_->setText(QStringLiteral("Accounts to be quarantined, restorable until %1:")
                                   .arg(Local(LogonDateText(*plan.restorableUntil))));
        dormantList_->setAccessibleName(dormantLabel_->text());
    }
    if (plan.due.empty()) return;
    auto* label = new QLabel(QStringLiteral("Accounts in quarantine to be purged, after the question:"), this);
    QTreeWidget* list = NewList({QStringLiteral("User Name"), QStringLiteral("Account Folder"), QStringLiteral("Quarantined On")},
                                QStringLiteral("purgeList"), label, this);
    for (const QuarantineEntry& entry : plan.due) {
        auto* item = new QTreeWidgetItem(list);
        item->setText(0, Local(entry.userName.empty() ? entry.folderName : entry.userName));
        item->setText(1, Local(QuarantinedFolderPath(installPath, entry)));
        item->setText(2, Local(LogonDateText(entry.quarantinedOn)));
    }
    auto* box = static_cast<QVBoxLayout*>(layout());
    const int at = box->indexOf(dormantLabel_);
    box->insertWidget(at, label);
    box->insertWidget(at + 1, list, std::clamp(list->topLevelItemCount(), 1, kMaxStretch));
}

// The number first, asked with No the default, before the run's own question.
void CPreviewWindow::requestDelete() {
    const std::string question = "Delete the " + std::to_string(foldersShown().size()) + " accounts listed?";
    if (!Confirmed(boxes_, question, "Delete These Accounts")) return;
    deleteRequested_ = true;
    accept();
}
