#include "dormix/app/CPreviewWindow.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dormix/scan/AccountLog.h"
#include "dormix/scan/CsvFile.h"
#include "dormix/scan/NextScan.h"

namespace {

enum DormantColumn { kUserName, kFolder, kLastLogon, kDaysSince, kNote };

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

// The reason an account stays, as the log says it; protected accounts are not logged.
QString StayReason(const AccountJudgement& account) {
    if (account.verdict == Verdict::Protected) return QStringLiteral("protected");
    return Local(LogReasonText(account.logReason));
}

}  // namespace

CPreviewWindow::CPreviewWindow(const std::vector<AccountJudgement>& accounts, platform::MessageBoxes& boxes,
                               QWidget* parent, const std::vector<AccountJudgement>& pending)
    : QDialog(parent), boxes_(boxes) {
    setObjectName(QStringLiteral("previewWindow"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(QStringLiteral("Preview: %1 account(s) would be deleted")
                       .arg(CountDormant(accounts) + static_cast<int>(pending.size())));
    resize(720, 480);

    auto* dormantLabel = new QLabel(QStringLiteral("Accounts to be deleted:"), this);
    dormantList_ = NewList({QStringLiteral("User Name"), QStringLiteral("Account Folder"), QStringLiteral("Last Logon"),
                            QStringLiteral("Days Since"), QStringLiteral("Note")},
                           QStringLiteral("dormantList"), dormantLabel, this);
    auto* otherLabel = new QLabel(QStringLiteral("Accounts not deleted, and why:"), this);
    otherList_ =
        NewList({QStringLiteral("User Name"), QStringLiteral("Reason")}, QStringLiteral("otherList"), otherLabel, this);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* save = buttons->addButton(QStringLiteral("Save List..."), QDialogButtonBox::ActionRole);
    save->setObjectName(QStringLiteral("saveListButton"));
    QPushButton* close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(save, &QPushButton::clicked, this, &CPreviewWindow::chooseFileAndSave);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(dormantLabel);
    layout->addWidget(dormantList_, 3);
    layout->addWidget(otherLabel);
    layout->addWidget(otherList_, 1);
    layout->addWidget(buttons);

    fillDormant(accounts, pending);
    fillOthers(accounts);
}

void CPreviewWindow::addDormant(const AccountJudgement& account, const QString& note) {
    auto* item = new QTreeWidgetItem(dormantList_);
    item->setText(kUserName, Local(account.userName));
    item->setText(kFolder, Local(account.folder));
    if (account.lastLogon) {
        item->setText(kLastLogon, Local(LogonDateText(*account.lastLogon)));
        item->setData(kDaysSince, Qt::DisplayRole, account.daysSince);  // sorts as a number
    }
    item->setTextAlignment(kDaysSince, Qt::AlignRight | Qt::AlignVCenter);
    item->setText(kNote, note);
}

void CPreviewWindow::fillDormant(const std::vector<AccountJudgement>& accounts,
                                 const std::vector<AccountJudgement>& pending) {
    for (const AccountJudgement& account : pending) addDormant(account, QString::fromLatin1(kPendingMark));
    for (const AccountJudgement& account : accounts) {
        if (account.verdict == Verdict::Dormant) addDormant(account, QString());
    }
    dormantList_->sortByColumn(kDaysSince, Qt::DescendingOrder);
    for (int column = 0; column < dormantList_->columnCount(); ++column) dormantList_->resizeColumnToContents(column);
}

void CPreviewWindow::fillOthers(const std::vector<AccountJudgement>& accounts) {
    for (const AccountJudgement& account : accounts) {
        if (account.verdict != Verdict::Logged && account.verdict != Verdict::Protected) continue;
        auto* item = new QTreeWidgetItem(otherList_);
        item->setText(0, Local(account.userName));
        item->setText(1, StayReason(account));
    }
    otherList_->sortByColumn(0, Qt::AscendingOrder);
    otherList_->resizeColumnToContents(0);
}

bool CPreviewWindow::saveList(const QString& path) {
    std::vector<CsvRow> rows(1);
    for (int column = 0; column < dormantList_->columnCount(); ++column) {
        rows[0].push_back(dormantList_->headerItem()->text(column).toUtf8().toStdString());
    }
    for (int i = 0; i < dormantList_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = dormantList_->topLevelItem(i);
        CsvRow row;
        for (int column = 0; column < dormantList_->columnCount(); ++column)
            row.push_back(item->text(column).toUtf8().toStdString());
        rows.push_back(row);
    }
    const std::string file = path.toLocal8Bit().toStdString();
    if (SaveCsvFile(file, rows) == 0) return true;
    boxes_.ok(UnableToCreateFileText(file));
    return false;
}

void CPreviewWindow::chooseFileAndSave() {
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save List"), QStringLiteral("dormant-accounts.csv"), QStringLiteral("CSV files (*.csv)"));
    if (!path.isEmpty()) saveList(path);
}

void CPreviewWindow::showQuarantine(const std::vector<QuarantineEntry>& entries,
                                    const std::vector<std::optional<std::time_t>>& purgeDays) {
    if (entries.empty()) return;
    auto* label = new QLabel(QStringLiteral("Accounts in quarantine, and when they are purged:"), this);
    QTreeWidget* list = NewList({QStringLiteral("User Name"), QStringLiteral("Account Folder"),
                                 QStringLiteral("Quarantined On"), QStringLiteral("Purged On")},
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
