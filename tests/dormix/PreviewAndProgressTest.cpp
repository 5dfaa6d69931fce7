// The preview and the progress window on a real installation, through their own controls.
#include <filesystem>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "dormix/app/CDormixDialog.h"
#include "dormix/app/CPreviewWindow.h"
#include "dormix/app/CProgressWindow.h"
#include "dormix/scan/LineEscape.h"
#include "dormix/scan/PendingDeletions.h"
#include "dormix/scan/ScanDormantAccounts.h"
#include "tests/scan/fixture/DormixInstallation.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

using platform::Answer;

namespace {

QStringList Column(const QTreeWidget* list, int column) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(column);
    return texts;
}

struct Installation {
    Installation() {
        install.addAccount("forty", LogonDaysBefore(now, 40));
        install.addAccount("a,\"b", LogonDaysBefore(now, 50));
        install.addAccount("hundred", LogonDaysBefore(now, 100));
        install.addAccount("nina", std::nullopt);
    }
    std::time_t now = LocalTime(2024, 3, 15, 23);
    TempDir dir;
    TempDir saved;
    DormixInstallation install{dir.path().string()};
    ScopedEnv env{"ACCTKIT_DB", dir.file("no-tervox.db")};
    ScriptedMessageBoxes boxes;
};

TEST(PreviewWindow, ListsWhatOKWouldDeleteAndChangesNothing) {
    Installation at;
    const std::string hundred = at.install.folderOf("hundred");
    const PendingBatch pending{
        PendingStage::MailServer, false, {{hundred, LocalTime(2023, 12, 6), std::nullopt, true}}, std::nullopt};
    ASSERT_TRUE(WritePendingDeletions(PendingDeletionsPath(at.install.paths().installPath), pending));
    // As the interrupted batch left it: nothing but "user.ini" in the folder.
    std::filesystem::remove_all(hundred + "/mail");
    std::filesystem::remove(hundred + "/addresses.txt");
    CDormixDialog dialog(at.install.paths(), at.boxes, &at.boxes, [&] { return at.now; });
    dialog.show();
    const auto before = TreeSnapshot(at.dir.path().string());
    dialog.findChild<QComboBox*>(QStringLiteral("daysComboBox"))->setEditText(QStringLiteral("45 Days"));
    std::string csv;
    QTimer::singleShot(0, &dialog, [&] {
        auto* preview = qobject_cast<CPreviewWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(preview, nullptr);
        EXPECT_EQ(preview->windowTitle(), QStringLiteral("Preview: 2 account(s) would be deleted"));
        EXPECT_EQ(preview->findChild<QLabel*>(QStringLiteral("thresholdLabel"))->text(),
                  QStringLiteral("Dormant: last logon more than 45 days ago"));
        EXPECT_EQ(preview->defaultFileName(), QStringLiteral("dormant-accounts-2024-03-15.csv"));
        auto* dormant = preview->findChild<QTreeWidget*>(QStringLiteral("dormantList"));
        EXPECT_EQ(Column(dormant, 0), (QStringList{QStringLiteral("hundred"), QStringLiteral("a,\"b")}));
        EXPECT_EQ(Column(dormant, 3), (QStringList{QStringLiteral("100"), QStringLiteral("50")}));
        dormant->sortByColumn(0, Qt::AscendingOrder);
        EXPECT_EQ(Column(dormant, 0), (QStringList{QStringLiteral("a,\"b"), QStringLiteral("hundred")}));
        auto* others = preview->findChild<QTreeWidget*>(QStringLiteral("otherList"));
        EXPECT_EQ(Column(others, 1), QStringList{QStringLiteral("has no user.ini file")});
        const QString file = QString::fromStdString(at.saved.file("list.csv"));
        EXPECT_TRUE(preview->saveList(file));
        csv = ReadBytes(at.saved.file("list.csv"));
        EXPECT_FALSE(preview->saveList(QString::fromStdString(at.saved.file("no/such/folder/list.csv"))));
        preview->findChild<QPushButton*>(QStringLiteral("closeButton"))->click();
    });
    dialog.findChild<QPushButton*>(QStringLiteral("previewButton"))->click();

    EXPECT_EQ(TreeSnapshot(at.dir.path().string()), before);
    // The folders escaped as every field is: their backslashes doubled on Windows.
    const std::string a = EscapedForLine(at.install.folderOf("a,\"b")), h = EscapedForLine(at.install.folderOf("hundred"));
    EXPECT_EQ(csv, "User Name,Account Folder,Last Logon,Days Since,Note\r\n\"a,\"\"b\"," + a + ",2024-01-25,50,\r\nhundred," + h +
                       ",2023-12-06,100,pending from an interrupted run\r\nnina," + EscapedForLine(at.install.folderOf("nina")) +
                       ",,,has no user.ini file\r\n");
    EXPECT_EQ(at.boxes.texts(), std::vector<std::string>{"Unable to create file " + at.saved.file("no/such/folder/list.csv")});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("daysComboBox"))->currentText(), QStringLiteral("45 Days"));
}

// Clicks the window's Stop button while the first account is in hand.
struct StopDuringFirst : ScanProgress {
    StopDuringFirst(CProgressWindow& window) : window(window) {}
    void reading(int count) override { window.reading(count); }
    void counted(int dormant) override { window.counted(dormant); }
    void finished(const AccountJudgement& account, const DeletedAccount& result) override {
        window.finished(account, result);
    }
    void deleting(int number, int count, const std::string& userName) override {
        window.deleting(number, count, userName);
        if (number == 1) {
            QMetaObject::invokeMethod(
                &window, [this] { window.findChild<QPushButton*>(QStringLiteral("stopButton"))->click(); },
                Qt::BlockingQueuedConnection);
        }
    }
    bool stopRequested() override { return window.stopRequested(); }
    CProgressWindow& window;
};

TEST(ProgressWindow, StopEndsAfterTheAccountInHand) {
    for (const std::int32_t days : {30, 200}) {
        SCOPED_TRACE(days);
        Installation at;
        at.boxes.answers = {Answer::No};
        CProgressWindow window;
        StopDuringFirst stopper(window);
        const ScanReport report = window.run(
            [&](ScanProgress&, platform::MessageBoxes& boxes) {
                return ScanDormantAccounts(days, at.install.paths(), boxes, at.now, &stopper, 1);  // batches of one
            },
            at.boxes);
        ShowScanReport(report, at.boxes);
        QCoreApplication::processEvents();
        const QString shown = window.findChild<QLabel*>(QStringLiteral("progressLabel"))->text();
        if (days == 200) {  // nothing dormant: the window showed the folders read, and nothing else
            EXPECT_EQ(shown, QStringLiteral("Reading the account folders: 1 read"));
            EXPECT_EQ(at.boxes.texts(), std::vector<std::string>{kNoDormantAccounts});
            continue;
        }
        EXPECT_EQ(shown, QStringLiteral("Stopping after the accounts in hand..."));
        EXPECT_EQ(window.findChild<QProgressBar*>(QStringLiteral("progressBar"))->value(), 1);
        EXPECT_EQ(report.end, ScanEnd::Stopped);
        EXPECT_EQ(report.left(), 2);
        EXPECT_EQ(at.boxes.texts().back(), "Successfully deleted 1 account(s)!");
        int left = 0;
        for (const char* user : {"forty", "a,\"b", "hundred"}) left += Exists(at.install.folderOf(user));
        EXPECT_EQ(left, 2);
    }
}

// The Preview deletes the accounts it lists and no others: one judged dormant only since it was
// opened is left, one no longer dormant is kept; the question and the summary are OK's.
TEST(PreviewWindow, DeletesExactlyTheAccountsListed) {
    Installation at;
    CDormixDialog dialog(at.install.paths(), at.boxes, &at.boxes, [&] { return at.now; });
    dialog.show();
    dialog.findChild<QComboBox*>(QStringLiteral("daysComboBox"))->setEditText(QStringLiteral("45"));
    at.boxes.answers = {Answer::Yes, Answer::No};
    QTimer::singleShot(0, &dialog, [&] {
        auto* preview = qobject_cast<CPreviewWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(preview, nullptr);
        auto* find = preview->findChild<QLineEdit*>(QStringLiteral("findLineEdit"));
        auto* dormant = preview->findChild<QTreeWidget*>(QStringLiteral("dormantList"));
        find->setText(QStringLiteral("HUND"));
        EXPECT_EQ(preview->windowTitle(), QStringLiteral("Preview: 1 of 2 account(s) shown would be deleted"));
        EXPECT_FALSE(dormant->topLevelItem(0)->isHidden());  // hundred, 100 days
        EXPECT_TRUE(dormant->topLevelItem(1)->isHidden());
        find->clear();
        at.now += 10 * 86400;  // forty is dormant now, but was not listed
        WriteBytes(at.install.folderOf("a,\"b") + "/user.ini", "[PROGRAM]\r\nLASTLOGON=2024/3/20\r\n");
        preview->findChild<QPushButton*>(QStringLiteral("deleteButton"))->click();
    });
    dialog.findChild<QPushButton*>(QStringLiteral("previewButton"))->click();

    EXPECT_FALSE(Exists(at.install.folderOf("hundred")));
    EXPECT_TRUE(Exists(at.install.folderOf("forty")));
    EXPECT_TRUE(Exists(at.install.folderOf("a,\"b")));
    EXPECT_EQ(at.boxes.texts(), (std::vector<std::string>{"Delete the 2 accounts listed?",
                                                          "Would you like to delete the associated Tervox account(s) also?",
                                                          "Successfully deleted 1 account(s)!"}));
    EXPECT_FALSE(dialog.isVisible());
}

// Enter in Find presses no button, no button is the default, and the delete asks first with No
// as its default: two Enters and a No leave every account.
TEST(PreviewWindow, EnterInFindDeletesNothing) {
    Installation at;
    CDormixDialog dialog(at.install.paths(), at.boxes, &at.boxes, [&] { return at.now; });
    dialog.show();
    dialog.findChild<QComboBox*>(QStringLiteral("daysComboBox"))->setEditText(QStringLiteral("45"));
    at.boxes.answers = {Answer::Yes, Answer::Yes, Answer::No};  // today's Yes would delete
    QTimer::singleShot(0, &dialog, [&] {
        auto* preview = qobject_cast<CPreviewWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(preview, nullptr);
        for (const QPushButton* button : preview->findChildren<QPushButton*>()) EXPECT_FALSE(button->isDefault());
        auto* find = preview->findChild<QLineEdit*>(QStringLiteral("findLineEdit"));
        find->setFocus();
        find->setText(QStringLiteral("HUND"));
        for (int i = 0; i < 2; ++i) {
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(find, &enter);
        }
        EXPECT_TRUE(preview->isVisible());
        at.boxes.answers = {Answer::No};
        preview->findChild<QPushButton*>(QStringLiteral("deleteButton"))->click();
        EXPECT_TRUE(preview->isVisible());
        if (preview->isVisible()) preview->findChild<QPushButton*>(QStringLiteral("closeButton"))->click();
    });
    dialog.findChild<QPushButton*>(QStringLiteral("previewButton"))->click();

    for (const char* user : {"forty", "a,\"b", "hundred"}) EXPECT_TRUE(Exists(at.install.folderOf(user))) << user;
    ASSERT_EQ(at.boxes.shown.size(), 1u);
    EXPECT_EQ(at.boxes.shown[0].text, "Delete the 1 accounts listed?");
    EXPECT_EQ(at.boxes.shown[0].caption, "Delete These Accounts");
    EXPECT_EQ(at.boxes.shown[0].buttons, platform::Buttons::YesNoDefaultNo);
    EXPECT_TRUE(dialog.isVisible());
#ifndef _WIN32
    // A file where the folder of the accounts belongs: the reason, and no list that would pass for all.
    std::filesystem::rename(at.install.userFolder(), at.install.paths().installPath + "/accounts");
    WriteBytes(at.install.userFolder(), "");
    bool previewShown = false;
    QTimer::singleShot(0, &dialog, [&] {
        if (QWidget* preview = QApplication::activeModalWidget()) previewShown = preview->close();
    });
    dialog.findChild<QPushButton*>(QStringLiteral("previewButton"))->click();
    EXPECT_FALSE(previewShown);
    EXPECT_EQ(at.boxes.shown.back().text,
              "The account folders in " + at.install.userFolder() + " cannot be listed: Not a directory. Nothing was deleted.");
#endif
}

}  // namespace
