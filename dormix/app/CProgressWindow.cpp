#include "dormix/app/CProgressWindow.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "dormix/app/MarshalledMessageBoxes.h"

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

bool CProgressWindow::run(const Scan& scan, platform::MessageBoxes& boxes) {
    MarshalledMessageBoxes marshalled(boxes, this);
    bool result = false;
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

void CProgressWindow::deleting(int number, int count, const std::string& userName) {
    const QString name = QString::fromLocal8Bit(userName);
    QMetaObject::invokeMethod(
        this, [this, number, count, name] { showAccount(number, count, name); }, Qt::QueuedConnection);
}

void CProgressWindow::showAccount(int number, int count, const QString& userName) {
    const QString text = QString::fromLocal8Bit(DeletingAccountText(number, count));
    progressLabel_->setText(text);
    userLabel_->setText(userName);
    bar_->setRange(0, count);
    bar_->setValue(number - 1);
    bar_->setAccessibleName(text);
    if (!isVisible()) show();
}

void CProgressWindow::requestStop() {
    stop_ = true;
    stopButton_->setEnabled(false);
}

// Closing the window asks for a stop; it goes when the scan has ended.
void CProgressWindow::closeEvent(QCloseEvent* event) {
    requestStop();
    event->ignore();
}

void CProgressWindow::reject() { requestStop(); }
