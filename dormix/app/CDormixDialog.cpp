#include "dormix/app/CDormixDialog.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStringList>

#include "common/VeltaSettings.h"
#include "dormix/app/CAboutDialog.h"
#include "dormix/app/CDeletedAccountsWindow.h"
#include "dormix/app/CPreviewWindow.h"
#include "dormix/app/CProgressWindow.h"
#include "dormix/app/DialogUnits.h"
#include "dormix/app/DormixIcon.h"
#include "dormix/quarantine/GraceDays.h"
#include "dormix/scan/AccountLog.h"
#include "dormix/scan/DayCount.h"
#include "dormix/scan/GracePeriod.h"
#include "dormix/scan/ProtectedAccounts.h"
#include "dormix/scan/RunPlan.h"
#include "dormix/scan/ScanDormantAccounts.h"
#include "dormix/scan/Threshold.h"
#include "dormix/warn/RunWarnings.h"
#include "dormix/warn/smtp/SmtpSender.h"
#include "platform/qt/QtMessageBoxes.h"

namespace {

const char* const kAboutItem = "&About Dormix...";  // string 101

// The caption of the dialog's own boxes: the program's name, from its executable.
std::string ProgramName() { return QCoreApplication::applicationName().toLocal8Bit().toStdString(); }

// A button of the dialog at its place in dialog units, named name; its accessible name is its
// text without the mnemonic's "&", as a screen reader says it.
QPushButton* NewButton(QWidget* dialog, const QString& text, const char* name, const QRect& place) {
    auto* button = new QPushButton(text, dialog);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    button->setGeometry(place);
    return button;
}

}  // namespace

CDormixDialog::CDormixDialog(DormixPaths paths, platform::MessageBoxes& scanBoxes,
                             platform::MessageBoxes* dialogBoxes, Clock clock, QWidget* parent)
    : QDialog(parent), paths_(std::move(paths)), scanBoxes_(scanBoxes), dialogBoxes_(dialogBoxes),
      clock_(std::move(clock)) {
    if (!dialogBoxes_) {
        ownedBoxes_ = std::make_unique<platform::QtMessageBoxes>(this);
        dialogBoxes_ = ownedBoxes_.get();
    }
    if (!clock_) clock_ = [] { return std::time(nullptr); };
    setObjectName(QStringLiteral("dormixDialog"));
    setWindowTitle(QStringLiteral("Dormant Account Deletion Utility"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowIcon(DormixIcon());
    setFont(QFont(QStringLiteral("Arial"), 10));
    createControls();
    createSystemMenu();
}

CDormixDialog::~CDormixDialog() = default;

void CDormixDialog::createControls() {
    const DialogUnits units(font());
    setFixedSize(units.toPixels(238, 152));

    auto* prompt = new QLabel(QStringLiteral("Please enter the number of days since a user's last logon which "
                                             "determines which accounts are dormant. These accounts will then be "
                                             "permanently deleted."),
                              this);
    prompt->setObjectName(QStringLiteral("promptLabel"));
    prompt->setWordWrap(true);
    prompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    prompt->setGeometry(units.toPixels(33, 44, 181, 27));
    // Under a grace period the words above are not the whole truth: a second line says so.
    if (const std::optional<int> graceDays = ReadGraceDays(); graceDays && *graceDays > 0) {
        auto* grace = new QLabel(QStringLiteral("With the grace period, they are first kept in quarantine for %1 "
                                                "days, and can be restored until then.")
                                     .arg(*graceDays),
                                 this);
        grace->setObjectName(QStringLiteral("graceLabel"));
        grace->setWordWrap(true);
        grace->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        grace->setGeometry(units.toPixels(33, 94, 140, 32));
    }

    daysCombo_ = new QComboBox(this);
    daysCombo_->setObjectName(QStringLiteral("daysComboBox"));
    daysCombo_->setAccessibleName(QStringLiteral("Number of days"));
    daysCombo_->setAccessibleDescription(prompt->text());
    prompt->setBuddy(daysCombo_);
    daysCombo_->setEditable(true);
    daysCombo_->setInsertPolicy(QComboBox::NoInsert);  // typed numbers are not added to the list
    daysCombo_->setCompleter(nullptr);                  // "4" must stay 4, not become "45 Days"
    daysCombo_->addItems({QString(), QStringLiteral("10 Days"), QStringLiteral("15 Days"), QStringLiteral("20 Days"),
                          QStringLiteral("30 Days"), QStringLiteral("45 Days"), QStringLiteral("60 Days"),
                          QStringLiteral("90 Days")});
    // The template's 70 units are the dropped-down height: the field and about seven entries.
    daysCombo_->setMaxVisibleItems(7);
    const QRect place = units.toPixels(86, 75, 48, 70);
    daysCombo_->setGeometry(place.x(), place.y(), place.width(), daysCombo_->sizeHint().height());
    daysCombo_->setEditText(daysText_);

    // Made in the order Tab takes them, as they are laid out: row by row, left to right.
    QPushButton* preview = NewButton(this, QStringLiteral("&Preview..."), "previewButton", units.toPixels(181, 97, 50, 14));
    connect(preview, &QPushButton::clicked, this, &CDormixDialog::OnPreview);
    QPushButton* ok = NewButton(this, QStringLiteral("OK"), "okButton", units.toPixels(181, 114, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CDormixDialog::OnOK);
    QPushButton* deleted =
        NewButton(this, QStringLiteral("&Deleted Accounts..."), "deletedAccountsButton", units.toPixels(7, 131, 80, 14));
    connect(deleted, &QPushButton::clicked, this, &CDormixDialog::OnDeletedAccounts);
    QPushButton* cancel = NewButton(this, QStringLiteral("Cancel"), "cancelButton", units.toPixels(181, 131, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    daysCombo_->setFocus();
}

void CDormixDialog::createSystemMenu() {
    systemMenu_ = new QMenu(this);
    systemMenu_->setObjectName(QStringLiteral("systemMenu"));
    QAction* about = systemMenu_->addAction(QString::fromLatin1(kAboutItem));
    about->setObjectName(QStringLiteral("aboutAction"));
    connect(about, &QAction::triggered, this, &CDormixDialog::showAbout);
}

void CDormixDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!initialised_) {
        initialised_ = true;
        OnInitDialog();
    }
}

void CDormixDialog::OnInitDialog() {
    // The log of an earlier run goes as soon as the dialog shows, even if Cancel follows; while
    // another scan works it is that scan's, and goes only when this dialog's own scan starts.
    oldLogLeft_ = !DeleteOldLogWhenIdle(paths_);
}

void CDormixDialog::contextMenuEvent(QContextMenuEvent* event) {
    systemMenu_->exec(event->globalPos());
    event->accept();
}

void CDormixDialog::showAbout() {
    CAboutDialog about(this);
    about.exec();
}

void CDormixDialog::DoDataExchange() { daysText_ = daysCombo_->currentText(); }

void CDormixDialog::refuse(const char* text) {
    dialogBoxes_->ok(text, ProgramName());
    daysCombo_->setFocus();
}

// The number in the field, or 0 after its refusal has been shown.
std::int32_t CDormixDialog::acceptedDays() {
    const std::string text = daysCombo_->currentText().toLocal8Bit().toStdString();
    if (const char* refusal = DialogDaysRefusal(text)) {
        refuse(refusal);
        return 0;
    }
    return ReadDialogDays(text);
}

void CDormixDialog::OnOK() {
    if (scanning_) return;
    const std::int32_t days = acceptedDays();
    if (days == 0) return;
    scanAndClose(days, {});
}

void CDormixDialog::scanAndClose(std::int32_t days, const ScanScope& scope) {
    DoDataExchange();
    ScanDormantAccounts(days, scope);
    DoDataExchange();
    QDialog::accept();
}

void CDormixDialog::accept() { OnOK(); }

// While a scan runs, the dialog stays until it has ended.
void CDormixDialog::reject() {
    if (!scanning_) QDialog::reject();
}

void CDormixDialog::OnPreview() {
    if (scanning_) return;
    const std::int32_t days = acceptedDays();
    if (days == 0) return;
    const ProtectedAccounts protectedAccounts = ReadProtectedAccounts();
    if (protectedAccounts.cut) {
        dialogBoxes_->error(kProtectListTooLong, ProgramName());
        return;
    }
    const std::time_t now = clock_();
    RunWarnings warnings;
    AccountAges ages;
    const RunPlan next = PlanRun(days, paths_, protectedAccounts, now, &warnings, &ages);
    if (!next.problem.empty()) dialogBoxes_->error(next.problem, ProgramName());
    if (!next.unlisted.empty()) return;  // a preview of some of the accounts would pass for all of them
    if (next.toWarn > 0) {  // the server that the warnings would go to answers a greeting
        if (const std::string problem = MailServerProblem(warnings.settings()); !problem.empty())
            dialogBoxes_->error(problem, ProgramName());
    }
    CPreviewWindow preview(next.accounts, days, now, *dialogBoxes_, this, next.pending);
    preview.showAges(ages);
    preview.showQuarantine(next.quarantined, next.purgeDays);
    preview.showPlanSteps(next, paths_.installPath);
    if (preview.exec() != QDialog::Accepted || !preview.deleteRequested()) return;
    // The accounts listed and no others: one judged dormant only since is left for the next run.
    scanAndClose(days, {RunOrigin::Dialog, preview.foldersShown(), protectedAccounts});
}

void CDormixDialog::OnDeletedAccounts() {
    if (scanning_) return;
    const std::optional<int> graceDays = ReadGraceDays();
    if (!graceDays) {
        dialogBoxes_->error(GraceDaysUnreadableText(ReadVeltaSetting("DORMIX", "GRACEDAYS")), ProgramName());
        return;
    }
    // One window, and so one run in the records, however often it is opened.
    if (!deletedWindow_) {
        const std::time_t now = clock_();
        deletedWindow_ = std::make_unique<CDeletedAccountsWindow>(
            paths_.installPath, *graceDays,
            AuditedEvents(paths_.installPath, NewRunIdentity(0, RunOrigin::Dialog, now), now), *dialogBoxes_, clock_,
            this);
    }
    deletedWindow_->setGraceDays(*graceDays);
    deletedWindow_->exec();
}

bool CDormixDialog::ScanDormantAccounts(std::int32_t days, const ScanScope& scope) {
    const std::time_t now = clock_();
    CProgressWindow progress(this);
    scanning_ = true;
    const ScanReport report = progress.run(
        [&](ScanProgress& reporter, platform::MessageBoxes& boxes) {
            RunWarnings warnings(NewSmtpSender);
            ScanScope withLog = scope;
            withLog.oldLog = oldLogLeft_ ? OldLog::Delete : OldLog::Keep;
            withLog.warnings = &warnings;
            return ::ScanDormantAccounts(days, paths_, boxes, now, &reporter, kDeletionBatch, withLog);
        },
        scanBoxes_);
    scanning_ = false;
    ShowScanReport(report, scanBoxes_);
    if (report.end == ScanEnd::Stopped && report.left() > 0)
        scanBoxes_.information(LeftForNextRunText(report.left()), "Deletion Stopped");
    return report.ranThrough();
}
