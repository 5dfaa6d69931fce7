#pragma once
// What OK would do with a number, shown before anything is done: the threshold, the accounts it
// would delete, sortable by column (those that an interrupted run left pending marked so in the
// Note column), and below them the accounts it would log or leave alone, with the reason; a find field narrows both lists. The list can be saved as a CSV file, and
// "Delete These Accounts...", after asking with their number (No the default), hands the accounts
// shown back to the dialog to delete them and no others; the title counts them. No button is the
// default, and Enter in the find field presses none. Under a grace period the accounts in quarantine follow, with their purge days.
// Nothing on disk changes here.
#include <cstdint>
#include <ctime>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <QDialog>

#include "dormix/quarantine/QuarantineEntry.h"
#include "dormix/scan/AccountAges.h"
#include "dormix/scan/JudgeAccounts.h"
#include "dormix/scan/RunPlan.h"
#include "platform/MessageBox.h"

class QLabel;
class QPushButton;
class QTreeWidget;

class CPreviewWindow : public QDialog {
    Q_OBJECT
public:
    // pending: the accounts of the pending deletions, which OK finishes first.
    CPreviewWindow(const std::vector<AccountJudgement>& accounts, std::int32_t days, std::time_t now,
                   platform::MessageBoxes& boxes, QWidget* parent = nullptr,
                   const std::vector<AccountJudgement>& pending = {});

    // Writes the accounts shown, those to delete and then the others with why, in the order
    // shown, as a CSV file at path; on failure "Unable to create file ..." and false.
    bool saveList(const QString& path);

    // Under a grace period: the accounts in quarantine, below the others, with the day each is
    // purged on.
    void showQuarantine(const std::vector<QuarantineEntry>& entries, const std::vector<std::optional<std::time_t>>& purgeDays);

    // The plan's other steps: under a grace period the accounts go into quarantine (the list says
    // until when they can be restored), and the accounts in quarantine due for purging, which the
    // run purges after its question, get a list of their own above the accounts to delete.
    void showPlanSteps(const RunPlan& plan, const std::string& installPath);

    // Above the lists: the accounts by time since their last logon, the threshold across them, and
    // how many would be deleted.
    void showAges(const AccountAges& ages);

    // The name "Save List..." offers: the list's date in it.
    QString defaultFileName() const { return defaultFileName_; }

    // True once "Delete These Accounts..." closed the window.
    bool deleteRequested() const { return deleteRequested_; }
    // The folders of the accounts to delete that the list shows.
    std::set<std::string> foldersShown() const;

public slots:
    void find(const QString& text);

private:
    void fillDormant();
    void fillOthers();
    void chooseFileAndSave();
    void requestDelete();
    void showCount(int shown);

    bool isPending(std::size_t index) const { return index < pendingCount_; }

    std::vector<AccountJudgement> accounts_;  // the pending ones first
    std::size_t pendingCount_ = 0;
    platform::MessageBoxes& boxes_;
    QString defaultFileName_;
    QLabel* dormantLabel_ = nullptr;
    QTreeWidget* dormantList_ = nullptr;
    QTreeWidget* otherList_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    int toDelete_ = 0;
    bool deleteRequested_ = false;
};
