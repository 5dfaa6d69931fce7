// The "Deleted Accounts" window lists the quarantine with purge days and restores and purges the
// chosen accounts through its buttons.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "dormix/app/CDeletedAccountsWindow.h"
#include "dormix/app/CDormixDialog.h"
#include "dormix/keyindex/InsertKeyRecord.h"
#include "dormix/keyindex/RemoveUserKeys.h"
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

// Restore and Purge act on the chosen accounts that Find shows, each only after its question,
// whose Enter answers No; neither button is the default.
TEST(DeletedAccountsWindow, ListsTheQuarantineAndActsOnTheChosenAccountsAfterAYes) {
    QuarantineSite s;
    s.quarantine({"bob", "dan"}, kNow);
    ScriptedMessageBoxes boxes;
    CDeletedAccountsWindow window(s.install(), 30, s.events, boxes, [] { return kNow; });
    window.show();
    auto* list = window.findChild<QTreeWidget*>(QStringLiteral("deletedList"));
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->headerItem()->text(4), QStringLiteral("Purge Due"));
    list->sortByColumn(0, Qt::AscendingOrder);
    EXPECT_EQ(Row(list, 0), (std::vector<std::string>{"bob", HexFolderName("bob"), LogonDateText(kNow - 400 * 86400),
                                                      "2024-03-15", "2024-04-14", ""}));
    for (const char* button : {"restoreButton", "purgeButton", "closeButton"}) {
        auto* b = window.findChild<QPushButton*>(QString::fromLatin1(button));
        EXPECT_EQ(b->accessibleName(), b->text());
        EXPECT_FALSE(b->isDefault() || b->autoDefault()) << button;
    }

    struct Case {
        const char* user;
        const char* button;
        const char* question;
        const char* caption;
    };
    const Case cases[] = {
        {"bob", "restoreButton", "Restore 1 account(s)? Each goes back to its folder and its user can log on again.",
         "Restore Accounts"},
        {"dan", "purgeButton", "Purge 1 account(s) now? They cannot be restored afterwards.", "Purge Accounts"},
    };
    auto* find = window.findChild<QLineEdit*>(QStringLiteral("findLineEdit"));
    int rows = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        boxes.shown.clear();
        boxes.answers = {platform::Answer::No, platform::Answer::Yes};
        find->setText(QString::fromLatin1(c.user));
        list->selectAll();  // the rows Find hides are not chosen
        window.findChild<QPushButton*>(QString::fromLatin1(c.button))->click();  // answered No: kept
        EXPECT_EQ(list->topLevelItemCount(), rows);
        list->selectAll();
        window.findChild<QPushButton*>(QString::fromLatin1(c.button))->click();
        EXPECT_EQ(list->topLevelItemCount(), --rows);
        ASSERT_EQ(boxes.shown.size(), 2u);
        for (const ShownBox& box : boxes.shown) {
            EXPECT_EQ(box.text, c.question);
            EXPECT_EQ(box.caption, c.caption);
            EXPECT_EQ(box.buttons, platform::Buttons::YesNoDefaultNo);
        }
    }
    EXPECT_TRUE(platform::IsDirectory(s.site.folderOf("bob")));
    EXPECT_EQ(s.tervoxUsers(), (std::vector<std::string>{"ann", "bob", "cleo", "eve"}));
    EXPECT_EQ(s.recorded(), (std::set<std::string>{"quarantined bob", "quarantined dan", "restored bob", "purged dan"}));

    // A purge that fails stays listed with its failure.
    s.quarantine({"eve"}, kNow);
    find->clear();
    window.hide();
    window.show();  // opened again, the window reads the quarantine as it is now
    const ScopedEnv noDatabase("ACCTKIT_DB", s.dir.file("none.db"));
    boxes.answers = {platform::Answer::Yes};
    Choose(list, "eve");
    window.purgeChosen();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(Row(list, 0).back(), "purge begun, cannot be restored; last failure: the user database could not be opened");
}

// The row chosen is the one restored, also when its name was quarantined again later.
TEST(DeletedAccountsWindow, RestoresTheRowChosenNotTheLatestOfItsName) {
    QuarantineSite s;
    s.quarantine({"bob"}, kNow - 2 * 86400);
    // bob made anew, as the web-mail product does, and quarantined again.
    const QuarantineEntry first = ListQuarantine(s.install()).at(0);
    std::filesystem::copy(QuarantinedFolderPath(s.install(), first), s.site.folderOf("bob"),
                          std::filesystem::copy_options::recursive);
    keyindex::InsertKeyRecord(keyindex::KeyFilePath(s.install(), "USERTIME.KEY"), *first.timeRecord);
    keyindex::InsertKeyRecord(keyindex::KeyFilePath(s.install(), "USER.KEY"), *first.userRecord);
    s.quarantine({"bob"}, kNow);
    ScriptedMessageBoxes boxes;
    CDeletedAccountsWindow window(s.install(), 30, s.events, boxes, [] { return kNow; });
    auto* list = window.findChild<QTreeWidget*>(QStringLiteral("deletedList"));
    ASSERT_EQ(list->topLevelItemCount(), 2);
    list->sortByColumn(3, Qt::AscendingOrder);
    list->clearSelection();
    list->topLevelItem(0)->setSelected(true);
    boxes.answers = {platform::Answer::Yes};
    window.restoreChosen();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(Row(list, 0)[3], "2024-03-15");
    EXPECT_TRUE(platform::IsDirectory(s.site.folderOf("bob")));
    ASSERT_EQ(boxes.shown.size(), 1u);  // the question alone: no refusal
    EXPECT_EQ(boxes.shown[0].caption, "Restore Accounts");
}

TEST(DeletedAccountsWindow, OpensFromTheDialog) {
    QuarantineSite s;
    s.quarantine({"bob", "dan"}, kNow);
    ScriptedMessageBoxes boxes;
    CDormixDialog dialog(s.site.paths(), boxes, &boxes, [] { return kNow; });
    dialog.show();
    // Opened twice: one window, which shows the quarantine as it is at each opening.
    std::vector<QWidget*> windows;
    std::vector<int> rows;
    auto* button = dialog.findChild<QPushButton*>(QStringLiteral("deletedAccountsButton"));
    EXPECT_EQ(button->accessibleName(), QStringLiteral("Deleted Accounts..."));
    for (int opening = 0; opening < 2; ++opening) {
        QTimer::singleShot(0, &dialog, [&] {
            auto* window = qobject_cast<CDeletedAccountsWindow*>(QApplication::activeModalWidget());
            ASSERT_NE(window, nullptr);
            windows.push_back(window);
            rows.push_back(window->findChild<QTreeWidget*>(QStringLiteral("deletedList"))->topLevelItemCount());
            window->reject();
        });
        button->click();
        if (opening == 0) s.quarantine({"cleo"}, kNow);
    }
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0], windows[1]);
    EXPECT_EQ(rows, (std::vector<int>{2, 3}));

    // The preview shows them too, with the day each is purged on.
    const ScopedEnv settings("WINDIR", s.dir.file("windows"));
    std::filesystem::create_directories(s.dir.file("windows"));
    WriteBytes(s.dir.file("windows/VELTA.INI"), "[DORMIX]\r\nGRACEDAYS=30\r\n");
    dialog.findChild<QComboBox*>(QStringLiteral("daysComboBox"))->setEditText(QStringLiteral("30 Days"));
    QStringList purgeDays;
    QString toQuarantine;
    QTimer::singleShot(0, &dialog, [&] {
        QWidget* preview = QApplication::activeModalWidget();
        for (QTreeWidgetItem* item : preview->findChild<QTreeWidget*>(QStringLiteral("quarantineList"))->findItems({}, Qt::MatchContains, 3))
            purgeDays << item->text(3);
        toQuarantine = preview->findChild<QTreeWidget*>(QStringLiteral("dormantList"))->accessibleName();
        preview->close();
    });
    dialog.findChild<QPushButton*>(QStringLiteral("previewButton"))->click();
    EXPECT_EQ(purgeDays, QStringList(3, QStringLiteral("2024-04-14")));
    EXPECT_EQ(toQuarantine, QStringLiteral("Accounts to be quarantined, restorable until 2024-04-14:"));
}
