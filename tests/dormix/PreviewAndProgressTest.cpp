// The preview and the progress window on a real installation, through their own controls.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <filesystem>

#include "dormix/app/CDormixDialog.h"
#include "dormix/app/CPreviewWindow.h"
#include "dormix/app/CProgressWindow.h"
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
    const PendingBatch pending{PendingStage::MailServer, false, {{hundred, LocalTime(2023, 12, 6), std::nullopt, true}}, std::nullopt};
    for (const char* entry : {"/mail", "/addresses.txt"}) std::filesystem::remove_all(hundred + entry);  // emptied down to its user.ini
    ASSERT_TRUE(WritePendingDeletions(PendingDeletionsPath(at.install.paths().installPath), pending));
    CDormixDialog dialog(at.install.paths(), at.boxes, &at.boxes, [&] { return at.now; });
    dialog.show();
    const auto before = TreeSnapshot(at.dir.path().string());
    dialog.findChild<QComboBox*>(QStringLiteral("daysComboBox"))->setEditText(QStringLiteral("45 Days"));
    std::string csv;
    QTimer::singleShot(0, &dialog, [&] {
        auto* preview = qobject_cast<CPreviewWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(preview, nullptr);
        EXPECT_EQ(preview->windowTitle(), QStringLiteral("Preview: 2 account(s) would be deleted"));
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
    const std::string a = at.install.folderOf("a,\"b"), h = at.install.folderOf("hundred");
    EXPECT_EQ(csv, "User Name,Account Folder,Last Logon,Days Since,Note\r\n\"a,\"\"b\"," + a + ",2024-01-25,50,\r\nhundred," + h +
                       ",2023-12-06,100,pending from an interrupted run\r\n");
    EXPECT_EQ(at.boxes.texts(), std::vector<std::string>{"Unable to create file " + at.saved.file("no/such/folder/list.csv")});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("daysComboBox"))->currentText(), QStringLiteral("45 Days"));
}

// Clicks the window's Stop button while the first account is in hand.
struct StopDuringFirst : ScanProgress {
    StopDuringFirst(CProgressWindow& window) : window(window) {}
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

TEST(ProgressWindow, StopEndsAfterTheBatchInHand) {
    for (const std::int32_t days : {30, 200}) {
        SCOPED_TRACE(days);
        Installation at;
        at.boxes.answers = {Answer::No};
        CProgressWindow window;
        StopDuringFirst stopper(window);
        const bool result = window.run(
            [&](ScanProgress&, platform::MessageBoxes& boxes) {
                return ScanDormantAccounts(days, at.install.paths(), boxes, at.now, &stopper, 1);  // batches of one
            },
            at.boxes);
        EXPECT_TRUE(result);
        QCoreApplication::processEvents();
        const QString shown = window.findChild<QLabel*>(QStringLiteral("progressLabel"))->text();
        if (days == 200) {  // nothing dormant: the window never showed
            EXPECT_EQ(shown, QString());
            EXPECT_EQ(at.boxes.texts(), std::vector<std::string>{kNoDormantAccounts});
            continue;
        }
        EXPECT_EQ(shown, QStringLiteral("Deleting account 1 of 3"));
        EXPECT_EQ(at.boxes.texts().back(), "Successfully deleted 1 account(s)!");
        int left = 0;
        for (const char* user : {"forty", "a,\"b", "hundred"}) left += Exists(at.install.folderOf(user));
        EXPECT_EQ(left, 2);
    }
}

}  // namespace
