#pragma once
// "Deleted Accounts": the accounts in quarantine during the grace period, sortable by column and
// narrowed by a find field, with the day each purge is due; Restore puts the chosen accounts
// back, Purge removes them for good, each after a question whose Enter answers No.
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include <QDialog>

#include "dormix/quarantine/Quarantine.h"
#include "platform/MessageBox.h"

class QLineEdit;
class QTreeWidget;

class CDeletedAccountsWindow : public QDialog {
    Q_OBJECT
public:
    CDeletedAccountsWindow(std::string installPath, int graceDays, QuarantineEvents events, platform::MessageBoxes& boxes,
                           std::function<std::time_t()> clock, QWidget* parent = nullptr);

    // The grace period as the settings now give it, for the purge days shown.
    void setGraceDays(int graceDays) { graceDays_ = graceDays; }

    void restoreChosen();
    void purgeChosen();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fill();
    std::vector<QuarantineEntry> chosen() const;
    // Holds the installation's lock for one action; false, after a box, while a scan holds it.
    bool withLock(const std::function<void()>& action);

    std::string installPath_;
    int graceDays_;
    QuarantineEvents events_;
    platform::MessageBoxes& boxes_;
    std::function<std::time_t()> clock_;
    std::vector<QuarantineEntry> entries_;
    QTreeWidget* list_ = nullptr;
    QLineEdit* find_ = nullptr;
};
