#pragma once
// What OK would do with a number, shown before anything is done: the accounts it would delete,
// sortable by column (those that an interrupted run left pending marked so in the Note column),
// and below them the accounts it would log or leave alone, with the reason. The list can be
// saved as a CSV file; nothing else on disk changes.
#include <ctime>
#include <optional>
#include <vector>

#include <QDialog>

#include "dormix/quarantine/QuarantineEntry.h"
#include "dormix/scan/JudgeAccounts.h"
#include "platform/MessageBox.h"

class QTreeWidget;

class CPreviewWindow : public QDialog {
    Q_OBJECT
public:
    // pending: the accounts of the pending deletions, which OK finishes first.
    CPreviewWindow(const std::vector<AccountJudgement>& accounts, platform::MessageBoxes& boxes,
                   QWidget* parent = nullptr, const std::vector<AccountJudgement>& pending = {});

    // Writes the list of accounts to delete, in the order shown, as a CSV file at path; on
    // failure "Unable to create file ..." and false.
    bool saveList(const QString& path);

    // Under a grace period: the accounts in quarantine, below the others, with the day each is
    // purged on.
    void showQuarantine(const std::vector<QuarantineEntry>& entries, const std::vector<std::optional<std::time_t>>& purgeDays);

private:
    void addDormant(const AccountJudgement& account, const QString& note);
    void fillDormant(const std::vector<AccountJudgement>& accounts, const std::vector<AccountJudgement>& pending);
    void fillOthers(const std::vector<AccountJudgement>& accounts);
    void chooseFileAndSave();

    platform::MessageBoxes& boxes_;
    QTreeWidget* dormantList_ = nullptr;
    QTreeWidget* otherList_ = nullptr;
};
