#include "dormix/app/CProgressWindow.h"

#include <algorithm>

#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "dormix/app/MarshalledMessageBoxes.h"
#include "dormix/scan/DeleteDormantAccount.h"

CProgressWindow::CProgressWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("progressWindow"));
    setWindowTitle(QStringLiteral("Deleting Dormant Accounts"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowModality(Qt::ApplicationModal);
    setMinimumWidth(320);

    progressLabel_ = new QLabel(this);
    progressLabel_->setObjectName(QStringLiteral("progressLabel"));
    userLabel_ = new QLabel(this);
    userLabel_->setObjectName(QStringLiteral("userLabel"));
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("progressBar"));
    stopButton_ = new QPushButton(QStringLiteral("Stop"), this);
    stopButton_->setObjectName(QStringLiteral("stopButton"));
    connect(stopButton_, &QPushButton::clicked, this, &CProgressWindow::requestStop);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(progressLabel_);
    layout->addWidget(userLabel_);
    layout->addWidget(bar_);
    layout->addWidget(stopButton_, 0, Qt::AlignRight);
}

ScanReport CProgressWindow::run(const Scan& scan, platform::MessageBoxes& boxes) {
    MarshalledMessageBoxes marshalled(boxes, this);
    ScanReport result;
    QEventLoop loop;
    QThread* thread = QThread::create([&] { result = scan(*this, marshalled); });
    connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();
    thread->wait();
    delete thread;
    hide();
    return result;
}

namespace {

// The window hears of one read folder in so many: a million updates would flood its queue.
constexpr int kReadingStep = 500;

}  // namespace

void CProgressWindow::reading(int count) {
    if (count != 1 && count % kReadingStep != 0) return;
    QMetaObject::invokeMethod(this, [this, count] { showReading(count); }, Qt::QueuedConnection);
}

void CProgressWindow::showReading(int count) {
    bar_->setRange(0, 0);  // busy: how many are dormant is not known yet
    if (!stop_) progressLabel_->setText(QString::fromLocal8Bit(ReadingCountText(count)));
    if (!isVisible()) show();
}

void CProgressWindow::deleting(int, int, const std::string& userName) {
    ++worked_;
    const QString name = QString::fromLocal8Bit(userName);
    QMetaObject::invokeMethod(this, [this, name] { showAccount(name); }, Qt::QueuedConnection);
}

void CProgressWindow::finished(const AccountJudgement&, const DeletedAccount& result) {
    if (!result.deleted) return;
    ++done_;
    QMetaObject::invokeMethod(this, [this] { showDone(); }, Qt::QueuedConnection);
}

void CProgressWindow::showAccount(const QString& userName) {
    userLabel_->setText(userName);
    showDone();
    if (!isVisible()) show();
}

// The words count the accounts whose deletion is done, not those begun: a batch empties many
// folders before the first of them is finished. The bar moves with each account worked on.
void CProgressWindow::showDone() {
    const QString text = QString::fromLocal8Bit(DeletedCountText(done_, dormant_));
    bar_->setRange(0, dormant_);
    bar_->setValue(std::max(done_.load(), worked_.load() - 1));
    bar_->setAccessibleName(text);
    if (!stop_) progressLabel_->setText(text);
}

void CProgressWindow::requestStop() {
    stop_ = true;
    stopButton_->setEnabled(false);
    progressLabel_->setText(QStringLiteral("Stopping after the accounts in hand..."));
}

// Closing the window asks for a stop; it goes when the scan has ended.
void CProgressWindow::closeEvent(QCloseEvent* event) {
    requestStop();
    event->ignore();
}

void CProgressWindow::reject() { requestStop(); }
