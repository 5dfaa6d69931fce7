#include <filesystem>
#include <memory>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "dormix/app/CDormixDialog.h"
#include "platform/FolderLock.h"
#include "tests/scan/fixture/DormixInstallation.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

using platform::Answer;

namespace {

// A dialog on an installation whose accounts last logged on 40, 50 and 100 days before now.
struct DialogOnInstallation {
    DialogOnInstallation() {
        QCoreApplication::setApplicationName(QStringLiteral("dormix"));
        install.addAccount("forty", LogonDaysBefore(now, 40));
        install.addAccount("fifty", LogonDaysBefore(now, 50));
        install.addAccount("hundred", LogonDaysBefore(now, 100));
        WriteBytes(install.paths().logPath, "earlier run\r\n");
        scanBoxes.answers = {Answer::No};
        dialog = std::make_unique<CDormixDialog>(install.paths(), scanBoxes, &dialogBoxes, [this] { return now; });
        dialog->show();
    }

    QComboBox* combo() const { return dialog->findChild<QComboBox*>(QStringLiteral("daysComboBox")); }
    QPushButton* button(const char* name) const { return dialog->findChild<QPushButton*>(QString::fromLatin1(name)); }

    void enter(const QString& text) const { combo()->setEditText(text); }

    std::time_t now = LocalTime(2024, 3, 15, 23);
    TempDir dir;
    DormixInstallation install{dir.path().string()};
    ScopedEnv env{"ACCTKIT_DB", dir.file("no-tervox.db")};
    ScriptedMessageBoxes scanBoxes;
    ScriptedMessageBoxes dialogBoxes;
    std::unique_ptr<CDormixDialog> dialog;
};

class DormixDialogTest : public ::testing::Test, public DialogOnInstallation {};

TEST_F(DormixDialogTest, ShowsTheThresholdQuestion) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Dormant Account Deletion Utility"));
    const auto* prompt = dialog->findChild<QLabel*>(QStringLiteral("promptLabel"));
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->text(), QStringLiteral("Please enter the number of days since a user's last logon which determines "
                                             "which accounts are dormant. These accounts will then be permanently deleted."));
    ASSERT_NE(combo(), nullptr);
    EXPECT_TRUE(combo()->isEditable());
    const QStringList entries = {QString(), QStringLiteral("10 Days"), QStringLiteral("15 Days"), QStringLiteral("20 Days"),
                                 QStringLiteral("30 Days"), QStringLiteral("45 Days"), QStringLiteral("60 Days"),
                                 QStringLiteral("90 Days")};
    QStringList shown;
    for (int i = 0; i < combo()->count(); ++i) shown << combo()->itemText(i);
    EXPECT_EQ(shown, entries);
    EXPECT_EQ(combo()->currentText(), QString());
    ASSERT_NE(button("okButton"), nullptr);
    ASSERT_NE(button("cancelButton"), nullptr);
    EXPECT_EQ(button("okButton")->text(), QStringLiteral("OK"));
    EXPECT_EQ(button("cancelButton")->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(button("okButton")->isDefault());
    EXPECT_FALSE(dialog->windowIcon().isNull());
    // Laid out from the template: Cancel below OK, both right of the combo box, all inside.
    EXPECT_GT(button("cancelButton")->y(), button("okButton")->y());
    EXPECT_GT(button("okButton")->x(), combo()->geometry().right());
    EXPECT_TRUE(dialog->rect().contains(button("cancelButton")->geometry()));
    EXPECT_TRUE(dialog->rect().contains(prompt->geometry()));
    // Named for a screen reader, and Tab goes as the controls are laid out, row by row.
    EXPECT_EQ(combo()->accessibleName(), QStringLiteral("Number of days"));
    EXPECT_EQ(button("previewButton")->text(), QStringLiteral("&Preview..."));
    EXPECT_EQ(button("previewButton")->accessibleName(), QStringLiteral("Preview..."));
    EXPECT_EQ(button("deletedAccountsButton")->text(), QStringLiteral("&Deleted Accounts..."));
    QStringList order;
    QWidget* widget = combo();
    for (int i = 0; i < 5; ++i, widget = widget->nextInFocusChain()) {
        while (widget->focusPolicy() == Qt::NoFocus || widget->parentWidget() != dialog.get()) widget = widget->nextInFocusChain();
        order << widget->objectName();
    }
    EXPECT_EQ(order, (QStringList{QStringLiteral("daysComboBox"), QStringLiteral("previewButton"), QStringLiteral("okButton"),
                                  QStringLiteral("deletedAccountsButton"), QStringLiteral("cancelButton")}));
}

// Under a grace period a second line says what the first does not; without one there is none.
TEST_F(DormixDialogTest, AGracePeriodGetsASecondLineUnderThePrompt) {
    EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("graceLabel")), nullptr);
    const ScopedEnv windir("WINDIR", dir.file("windows"));
    std::filesystem::create_directories(dir.file("windows"));
    WriteBytes(dir.file("windows/VELTA.INI"), "[DORMIX]\r\nGRACEDAYS=30\r\n");
    CDormixDialog grace(install.paths(), scanBoxes, &dialogBoxes, [this] { return now; });
    const auto* line = grace.findChild<QLabel*>(QStringLiteral("graceLabel"));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text(), QStringLiteral("With the grace period, they are first kept in quarantine for 30 days, and can "
                                           "be restored until then."));
    for (const char* name : {"daysComboBox", "previewButton", "okButton", "deletedAccountsButton", "promptLabel"})
        EXPECT_FALSE(line->geometry().intersects(grace.findChild<QWidget*>(QString::fromLatin1(name))->geometry())) << name;
}

TEST_F(DormixDialogTest, OpeningTheDialogDeletedTheOldLog) { EXPECT_FALSE(Exists(install.paths().logPath)); }

TEST_F(DormixDialogTest, TheLogOfAScanRunningElsewhereStaysUntilThisScanRuns) {
    WriteBytes(install.paths().logPath, "other run\r\n");
    auto running = std::make_unique<platform::FolderLock>(install.paths().installPath, platform::FolderLock::Wait::No);
    for (const bool released : {false, true}) {
        CDormixDialog second(install.paths(), scanBoxes, &dialogBoxes, [this] { return now; });
        second.show();
        EXPECT_EQ(ReadBytes(install.paths().logPath), "other run\r\n");
        if (released) running.reset();
        scanBoxes.answers = {Answer::No};
        second.findChild<QComboBox*>(QStringLiteral("daysComboBox"))->setEditText(QStringLiteral("45"));
        second.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        EXPECT_EQ(Exists(install.paths().logPath), !released);  // nothing to log: the run leaves none
        EXPECT_EQ(Exists(install.folderOf("fifty")), !released);
    }
}

TEST_F(DormixDialogTest, CancelEndsWithoutAScan) {
    enter(QStringLiteral("10 Days"));
    button("cancelButton")->click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(scanBoxes.shown.empty());
    EXPECT_TRUE(Exists(install.folderOf("hundred")));
    EXPECT_FALSE(Exists(install.paths().logPath));
}

TEST_F(DormixDialogTest, EscapeAndTheCloseBoxCancelToo) {
    enter(QStringLiteral("10"));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(dialog.get(), &escape);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(dialog->isVisible());

    dialog->show();
    dialog->close();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(scanBoxes.shown.empty());
    EXPECT_TRUE(Exists(install.folderOf("fifty")));
}

TEST_F(DormixDialogTest, AcceptedNumbersRunTheScanAndClose) {
    struct Case {
        QString text;
        const char* summary;
        bool fiftyStays;
    };
    const Case cases[] = {
        {QStringLiteral("90 Days"), "Successfully deleted 1 account(s)!", true},
        {QStringLiteral(" 45"), "Successfully deleted 2 account(s)!", false},
        {QStringLiteral("45abc"), "Successfully deleted 2 account(s)!", false},
        {QStringLiteral("45, 7.x"), "Successfully deleted 2 account(s)!", false},  // no digit after the comma
        {QStringLiteral("500"), "There were no dormant accounts found", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        DialogOnInstallation fresh;
        fresh.enter(c.text);
        fresh.button("okButton")->click();
        EXPECT_EQ(fresh.dialog->result(), QDialog::Accepted);
        EXPECT_FALSE(fresh.dialog->isVisible());
        EXPECT_EQ(fresh.dialog->daysText(), c.text);
        EXPECT_TRUE(fresh.dialogBoxes.shown.empty());
        ASSERT_FALSE(fresh.scanBoxes.shown.empty());
        EXPECT_EQ(fresh.scanBoxes.shown.back().text, c.summary);
        EXPECT_EQ(Exists(fresh.install.folderOf("fifty")), c.fiftyStays);
        EXPECT_TRUE(Exists(fresh.install.folderOf("forty")));
    }
}

TEST_F(DormixDialogTest, RefusedNumbersKeepTheDialogOpen) {
    const char* const kSeparators = "Please enter a whole number of days, written without separators (1000, not 1,000).";
    const std::pair<QString, const char*> cases[] = {
        {QString(), "Please enter a number"},
        {QStringLiteral("abc"), "Please enter a number"},
        {QStringLiteral("0 Days"), "Please enter a number"},
        {QStringLiteral("-1"), "Please enter or select a value"},
        {QStringLiteral("-5"), "Please enter or select a value"},  // would delete accounts in use
        {QStringLiteral("1,000"), kSeparators},  // read short, nearly every account
        {QStringLiteral(" 2.50 Days"), kSeparators},
        {QStringLiteral("-1,5"), kSeparators},
    };
    for (const auto& [text, refusal] : cases) {
        SCOPED_TRACE(text.toStdString());
        dialogBoxes.shown.clear();
        enter(text);
        button("okButton")->setFocus();
        button("okButton")->click();
        ASSERT_EQ(dialogBoxes.shown.size(), 1u);
        EXPECT_EQ(dialogBoxes.shown[0].text, refusal);
        EXPECT_EQ(dialogBoxes.shown[0].caption, "dormix");
        EXPECT_EQ(dialogBoxes.shown[0].buttons, platform::Buttons::Ok);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->focusWidget(), combo());
    }
    EXPECT_TRUE(scanBoxes.shown.empty());
    EXPECT_TRUE(Exists(install.folderOf("hundred")));

    // Another try after the refusals is taken.
    enter(QStringLiteral("60 Days"));
    button("okButton")->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(Exists(install.folderOf("hundred")));
    EXPECT_TRUE(Exists(install.folderOf("fifty")));
}

TEST_F(DormixDialogTest, EnterInTheFieldPressesOK) {
    enter(QStringLiteral("45"));
    combo()->setFocus();
    QKeyEvent enterKey(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(combo()->lineEdit(), &enterKey);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(Exists(install.folderOf("fifty")));
    EXPECT_EQ(combo()->count(), 8);  // the typed text is not added to the list
}

TEST_F(DormixDialogTest, SystemMenuOpensTheAboutBox) {
    ASSERT_NE(dialog->systemMenu(), nullptr);
    const QList<QAction*> actions = dialog->systemMenu()->actions();
    ASSERT_EQ(actions.size(), 1);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("&About Dormix..."));

    QString title;
    QString version;
    bool hasIcon = false;
    QTimer::singleShot(0, dialog.get(), [&] {
        QWidget* about = QApplication::activeModalWidget();
        ASSERT_NE(about, nullptr);
        title = about->windowTitle();
        if (auto* label = about->findChild<QLabel*>(QStringLiteral("versionLabel"))) version = label->text();
        if (auto* icon = about->findChild<QLabel*>(QStringLiteral("iconLabel"))) hasIcon = !icon->pixmap().isNull();
        auto* ok = about->findChild<QPushButton*>(QStringLiteral("okButton"));
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(ok->text(), QStringLiteral("OK"));
        ok->click();
    });
    actions[0]->trigger();

    EXPECT_EQ(title, QStringLiteral("About Dormix"));
    EXPECT_EQ(version, QStringLiteral("Dormix Version 1.0"));
    EXPECT_TRUE(hasIcon);
    EXPECT_TRUE(dialog->isVisible());  // the threshold dialog stays
    EXPECT_TRUE(scanBoxes.shown.empty());
}

}  // namespace
