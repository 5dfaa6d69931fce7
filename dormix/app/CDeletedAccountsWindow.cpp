#include "dormix/app/CDeletedAccountsWindow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dormix/app/ListWindowParts.h"
#include "dormix/scan/AccountLog.h"
#include "dormix/scan/AuditLog.h"
#include "dormix/scan/GracePeriod.h"
#include "dormix/scan/JudgeAccounts.h"
#include "platform/FolderLock.h"

namespace {

enum Column { kUserName, kFolder, kLastLogon, kQuarantinedOn, kPurgeDue, kPurgeState };

QString Local(const std::string& text) { return QString::fromLocal8Bit(text); }

QString DayText(const std::optional<std::time_t>& day) { return day ? Local(LogonDateText(*day)) : QString(); }

}  // namespace

CDeletedAccountsWindow::CDeletedAccountsWindow(std::string installPath, int graceDays, QuarantineEvents events,
                                               platform::MessageBoxes& boxes, std::function<std::time_t()> clock,
                                               QWidget* parent)
    : QDialog(parent), installPath_(std::move(installPath)), graceDays_(graceDays), events_(std::move(events)),
      boxes_(boxes), clock_(std::move(clock)) {
    setObjectName(QStringLiteral("deletedAccountsWindow"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(QStringLiteral("Deleted Accounts"));
    resize(720, 400);

    const FindField find = NewFindField(this);  // first, so that Tab goes from it to the list
    find_ = find.field;
    auto* label = new QLabel(QStringLiteral("Accounts in quarantine, restorable until they are purged:"), this);
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("deletedList"));
    list_->setHeaderLabels({QStringLiteral("User Name"), QStringLiteral("Account Folder"), QStringLiteral("Last Logon"),
                            QStringLiteral("Quarantined On"), QStringLiteral("Purge Due"), QStringLiteral("Purge State")});
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    list_->setSortingEnabled(true);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setAccessibleName(label->text());
    label->setBuddy(list_);
    connect(find.field, &QLineEdit::textChanged, this, [this](const QString& text) { ShowMatching(list_, text); });

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* restore = AddButton(buttons, QStringLiteral("Restore"), QDialogButtonBox::ActionRole, "restoreButton");
    QPushButton* purge = AddButton(buttons, QStringLiteral("Purge"), QDialogButtonBox::ActionRole, "purgeButton");
    AddButton(buttons, QStringLiteral("Close"), QDialogButtonBox::RejectRole, "closeButton");
    connect(restore, &QPushButton::clicked, this, &CDeletedAccountsWindow::restoreChosen);
    connect(purge, &QPushButton::clicked, this, &CDeletedAccountsWindow::purgeChosen);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(find.row);
    layout->addWidget(label);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    fill();
}

void CDeletedAccountsWindow::fill() {
    list_->clear();
    entries_ = ListQuarantine(installPath_);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const QuarantineEntry& entry = entries_[i];
        auto* item = new QTreeWidgetItem(list_);
        item->setText(kUserName, Local(entry.userName));
        item->setText(kFolder, Local(entry.folderName));
        item->setText(kLastLogon, DayText(entry.lastLogon));
        item->setText(kQuarantinedOn, DayText(entry.quarantinedOn));
        item->setText(kPurgeDue, DayText(EntryPurgeDay(entry, graceDays_)));
        item->setText(kPurgeState, Local(PurgeStateText(entry)));
        item->setData(kUserName, Qt::UserRole, static_cast<qulonglong>(i));
    }
    list_->sortByColumn(kPurgeDue, Qt::AscendingOrder);
    for (int column = 0; column < list_->columnCount(); ++column) list_->resizeColumnToContents(column);
    ShowMatching(list_, find_->text());
}

void CDeletedAccountsWindow::showEvent(QShowEvent* event) {
    fill();  // a window opened again shows the quarantine as it is now
    QDialog::showEvent(event);
}

std::vector<QuarantineEntry> CDeletedAccountsWindow::chosen() const {
    std::vector<QuarantineEntry> entries;
    for (const QTreeWidgetItem* item : list_->selectedItems())
        if (!item->isHidden()) entries.push_back(entries_[item->data(kUserName, Qt::UserRole).toULongLong()]);
    return entries;
}

bool CDeletedAccountsWindow::withLock(const std::function<void()>& action) {
    const platform::FolderLock lock(installPath_, platform::FolderLock::Wait::No);
    if (lock.busy()) {
        boxes_.error("Another scan of " + installPath_ + " is running. Nothing was changed.");
        return false;
    }
    action();
    return true;
}

void CDeletedAccountsWindow::restoreChosen() {
    const std::vector<QuarantineEntry> entries = chosen();
    if (entries.empty()) return;
    const std::string question = "Restore " + std::to_string(entries.size()) +
                                 " account(s)? Each goes back to its folder and its user can log on again.";
    if (!Confirmed(boxes_, question, "Restore Accounts")) return;
    withLock([&] {
        for (const QuarantineEntry& entry : entries) {
            // The row chosen, not the latest of its name: a name may be in quarantine more than once.
            const RestoreResult result = RestoreEntry(installPath_, entry, events_, clock_());
            if (!result.restored && !result.reason.empty()) boxes_.error(result.reason);
            if (result.stopped) {
                boxes_.error(UnableToCreateFileText(AuditLogPath(installPath_)));
                break;
            }
        }
    });
    fill();
}

void CDeletedAccountsWindow::purgeChosen() {
    const std::vector<QuarantineEntry> entries = chosen();
    if (entries.empty()) return;
    const std::string question = "Purge " + std::to_string(entries.size()) +
                                 " account(s) now? They cannot be restored afterwards.";
    if (!Confirmed(boxes_, question, "Purge Accounts")) return;
    withLock([&] {
        const PurgeRun run = PurgeEntries(installPath_, entries, events_);
        for (const AccountNotDeleted& account : NotPurgedAccounts(installPath_, run.failed))
            boxes_.error(account.userName + " could not be purged: " + account.reason);
        if (run.stopped) boxes_.error(UnableToCreateFileText(AuditLogPath(installPath_)));
    });
    fill();
}
