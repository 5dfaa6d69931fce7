#pragma once
// The window that shows how many accounts a scan has deleted and which one it has in hand, and
// lets the administrator stop it: the accounts of the batch in hand not yet touched are left for
// the next run. The scan runs on a thread of its own while the window stays responsive; the
// window shows itself once the account folders are being read, with how many have been read,
// and its bar moves with each account worked on.
#include <atomic>
#include <functional>

#include <QDialog>

#include "dormix/scan/ScanProgress.h"
#include "dormix/scan/ScanReport.h"
#include "platform/MessageBox.h"

class QLabel;
class QProgressBar;
class QPushButton;

class CProgressWindow : public QDialog, public ScanProgress {
    Q_OBJECT
public:
    using Scan = std::function<ScanReport(ScanProgress& progress, platform::MessageBoxes& boxes)>;

    explicit CProgressWindow(QWidget* parent = nullptr);

    // Runs scan off the window thread, its boxes shown through boxes on the window thread, and
    // returns its report once it has ended. Events are handled meanwhile.
    ScanReport run(const Scan& scan, platform::MessageBoxes& boxes);

    // ScanProgress, called from the scan's thread.
    // Counts this run's accounts: those an interrupted run left are done before it.
    void reading(int count) override;
    void counted(int dormant) override {
        dormant_ = dormant;
        done_ = 0;
        worked_ = 0;
    }
    void deleting(int number, int count, const std::string& userName) override;
    bool stopRequested() override { return stop_; }
    void finished(const AccountJudgement& account, const DeletedAccount& result) override;

public slots:
    void requestStop();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void showReading(int count);
    void showAccount(const QString& userName);
    void showDone();

    QLabel* progressLabel_ = nullptr;
    QLabel* userLabel_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    std::atomic<bool> stop_{false};
    std::atomic<int> dormant_{0};
    std::atomic<int> done_{0};
    std::atomic<int> worked_{0};  // accounts of this run worked on so far, each as it comes

};
