// The "Deleted Accounts" window lists the quarantine with purge days and restores and purges the
// chosen accounts through its buttons.
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "dormix/app/CDeletedAccountsWindow.h"
#include "dormix/app/CDormixDialog.h"
#include "dormix/scan/JudgeAccounts.h"
#include "platform/FileOps.h"
#include "tests/quarantine/QuarantineSite.h"
#include "tests/support/ScriptedMessageBoxes.h"

namespace {

const std::time_t kNow = LocalTime(2024, 3, 15, 12);

std::vector<std::string> Row(const QTreeWidget* list, int row) {
    std::vector<std::string> texts;
    for (int column = 0; column < list->columnCount(); ++column) texts.push_back(list->topLevelItem(row)->text(column).toStdString());
    return texts;
}

void Choose(QTreeWidget* list, const char* user) {
    list->clearSelection();
    for (QTreeWidgetItem* item : list->findItems(QString::fromLatin1(user), Qt::MatchExactly, 0)) item->setSelected(true);
}

}  // namespace

TEST(DeletedAccountsWindow, ListsTheQuarantineAndRestoresAndPurgesTheChosenAccounts) {
    QuarantineSite s;
    s.quarantine({"bob", "dan"}, kNow);
    ScriptedMessageBoxes boxes;
    boxes.answers = {platform::Answer::No, platform::Answer::Yes};
    CDeletedAccountsWindow window(s.install(), 30, s.events, boxes, [] { return kNow; });
    auto* list = window.findChild<QTreeWidget*>(QStringLiteral("deletedList"));
    ASSERT_EQ(list->topLevelItemCount(), 2);
    list->sortByColumn(0, Qt::AscendingOrder);
    EXPECT_EQ(Row(list, 0), (std::vector<std::string>{"bob", HexFolderName("bob"), LogonDateText(kNow - 400 * 86400),
                                                      "2024-03-15", "2024-04-14", ""}));
    for (const char* button : {"restoreButton", "purgeButton", "closeButton"}) {
        auto* b = window.findChild<QPushButton*>(QString::fromLatin1(button));
        EXPECT_EQ(b->accessibleName(), b->text());
    }

    Choose(list, "bob");
    window.findChild<QPushButton*>(QStringLiteral("restoreButton"))->click();
    EXPECT_TRUE(platform::IsDirectory(s.site.folderOf("bob")));
    ASSERT_EQ(list->topLevelItemCount(), 1);
    Choose(list, "dan");
    window.findChild<QPushButton*>(QStringLiteral("purgeButton"))->click();  // answered No: kept
    EXPECT_EQ(list->topLevelItemCount(), 1);
    window.findChild<QPushButton*>(QStringLiteral("purgeButton"))->click();
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>(2, "Purge 1 account(s) now? They cannot be restored afterwards.")));
    EXPECT_EQ(s.tervoxUsers(), (std::vector<std::string>{"ann", "bob", "cleo", "eve"}));
    EXPECT_EQ(s.recorded(), (std::set<std::string>{"quarantined bob", "quarantined dan", "restored bob", "purged dan"}));

    // A purge that fails stays listed with its failure.
    s.quarantine({"eve"}, kNow);
    window.restoreChosen();  // nothing chosen: the list is read again
    const ScopedEnv noDatabase("ACCTKIT_DB", s.dir.file("none.db"));
    boxes.answers = {platform::Answer::Yes};
    Choose(list, "eve");
    window.purgeChosen();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(Row(list, 0).back(), "purge begun, cannot be restored; last failure: the user database could not be opened");
}

TEST(DeletedAccountsWindow, OpensFromTheDialog) {
    QuarantineSite s;
    s.quarantine({"bob", "dan"}, kNow);
    ScriptedMessageBoxes boxes;
    CDormixDialog dialog(s.site.paths(), boxes, &boxes, [] { return kNow; });
    dialog.show();
    int rows = -1;
    QTimer::singleShot(0, &dialog, [&] {
        auto* window = qobject_cast<CDeletedAccountsWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        rows = window->findChild<QTreeWidget*>(QStringLiteral("deletedList"))->topLevelItemCount();
        window->reject();
    });
    auto* button = dialog.findChild<QPushButton*>(QStringLiteral("deletedAccountsButton"));
    EXPECT_EQ(button->accessibleName(), QStringLiteral("Deleted Accounts..."));
    button->click();
    EXPECT_EQ(rows, 2);

    // The preview shows them too, with the day each is purged on.
    const ScopedEnv settings("WINDIR", s.dir.file("windows"));
    std::filesystem::create_directories(s.dir.file("windows"));
    WriteBytes(s.dir.file("windows/VELTA.INI"), "[DORMIX]\r\nGRACEDAYS=30\r\n");
    dialog.findChild<QComboBox*>(QStringLiteral("daysComboBox"))->setEditText(QStringLiteral("30 Days"));
    QStringList purgeDays;
    QTimer::singleShot(0, &dialog, [&] {
        QWidget* preview = QApplication::activeModalWidget();
        for (QTreeWidgetItem* item : preview->findChild<QTreeWidget*>(QStringLiteral("quarantineList"))->findItems({}, Qt::MatchContains, 3))
            purgeDays << item->text(3);
        preview->close();
    });
    dialog.findChild<QPushButton*>(QStringLiteral("previewButton"))->click();
    EXPECT_EQ(purgeDays, (QStringList{QStringLiteral("2024-04-14"), QStringLiteral("2024-04-14")}));
}
