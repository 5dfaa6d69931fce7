// The main window: caption, menus and their prompts, tool bar, status bar, File > Save and Exit,
// and the About box.
#include <algorithm>

#include <QAction>
#include <QDialog>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolTip>
#include <gtest/gtest.h>

#include "common/VeltaSettings.h"
#include "platform/FaultInjection.h"
#include "tests/ui/ListRows.h"
#include "tests/ui/MarquetaWindow.h"
#include "tests/support/Named.h"

namespace {

using Texts = std::vector<std::string>;

Texts ActionTexts(const QList<QAction*>& actions) {
    Texts out;
    for (QAction* a : actions) out.push_back(a->isSeparator() ? "|" : a->text().toStdString());
    return out;
}

std::string Message(const MarquetaWindow& w) {
    return Named<QLabel>(*w.frame, "messagePaneLabel")->text().toStdString();
}

TEST(MainFrame, CaptionMenusAndTheApplicationsPointer) {
    MarquetaWindow w;
    EXPECT_EQ(w.frame->windowTitle().toStdString(), "Marqueta");
    EXPECT_EQ(w.app.mainFrame, w.frame.get());
    EXPECT_EQ(ActionTexts(w.frame->menuBar()->actions()), (Texts{"&File", "&Edit", "&View", "&Help"}));
    EXPECT_EQ(ActionTexts(w.frame->findChild<QMenu*>(QStringLiteral("fileMenu"))->actions()),
              (Texts{"E&xit", "&Save"}));
    EXPECT_EQ(ActionTexts(w.frame->findChild<QMenu*>(QStringLiteral("editMenu"))->actions()),
              (Texts{"&Add", "&Modify", "&Delete"}));
    EXPECT_EQ(ActionTexts(w.frame->findChild<QMenu*>(QStringLiteral("viewMenu"))->actions()),
              (Texts{"&Toolbar", "&Status Bar", "|", "&Find", "Show &Pictures"}));
    EXPECT_EQ(ActionTexts(w.frame->findChild<QMenu*>(QStringLiteral("helpMenu"))->actions()),
              (Texts{"&About Marqueta..."}));
    w.frame.reset();
    EXPECT_EQ(w.app.mainFrame, nullptr);
}

TEST(MainFrame, HighlightedMenuItemsShowTheirPromptsAndReadyReturns) {
    MarquetaWindow w;
    EXPECT_EQ(Message(w), "Ready");
    struct Case {
        const char* menu;
        QAction* action;
        const char* prompt;
    };
    const Case cases[] = {
        {"fileMenu", Named<QAction>(*w.frame, "exitAction"), "Quit the application; prompts to save documents"},
        {"fileMenu", Named<QAction>(*w.frame, "saveAction"), "Save the active document"},
        {"viewMenu", Named<QAction>(*w.frame, "toolBarAction"), "Show or hide the toolbar"},
        {"viewMenu", Named<QAction>(*w.frame, "statusBarAction"), "Show or hide the status bar"},
        {"viewMenu", Named<QAction>(*w.frame, "findAction"), "Show only the banners that contain a text"},
        {"viewMenu", Named<QAction>(*w.frame, "showPicturesAction"), "Show each banner's picture at the start of its row"},
        {"editMenu", Named<QAction>(*w.frame, "editAddAction"), "Add a new banner"},
        {"editMenu", Named<QAction>(*w.frame, "editModifyAction"), "Modify the selected banner"},
        {"editMenu", Named<QAction>(*w.frame, "editDeleteAction"), "Delete the selected banner"},
    };
    for (const Case& c : cases) {
        auto* menu = w.frame->findChild<QMenu*>(QString::fromLatin1(c.menu));
        menu->popup(w.frame->mapToGlobal(QPoint(10, 10)));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        menu->setActiveAction(c.action);
        EXPECT_EQ(Message(w), c.prompt);
        menu->setActiveAction(nullptr);
        EXPECT_EQ(Message(w), "Ready") << c.prompt;
        menu->hide();
    }
    // Save's progress is replaced by "Ready" once a menu item without a prompt is highlighted.
    Named<QAction>(*w.frame, "saveAction")->trigger();
    EXPECT_EQ(Message(w), "Done");
    auto* help = w.frame->findChild<QMenu*>(QStringLiteral("helpMenu"));
    help->popup(w.frame->mapToGlobal(QPoint(10, 10)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
    help->setActiveAction(Named<QAction>(*w.frame, "aboutAction"));
    EXPECT_EQ(Message(w), "Ready");
    help->hide();
}

TEST(MainFrame, StatusBarPanesInOrder) {
    MarquetaWindow w;
    QList<QLabel*> panes = w.frame->statusBar()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    std::sort(panes.begin(), panes.end(), [](QLabel* a, QLabel* b) { return a->x() < b->x(); });
    Texts names;
    for (QLabel* pane : panes) names.push_back(pane->objectName().toStdString());
    EXPECT_EQ(names, (Texts{"messagePaneLabel", "scheduleCountLabel", "capsLockLabel", "numLockLabel", "scrollLockLabel"}));
    panes.removeAt(1);
    const QLabel* message = panes.at(0);
    int lockWidths = 0;
    for (int i = 1; i < 4; ++i) {
        EXPECT_GE(panes.at(i)->width(), panes.at(i)->fontMetrics().horizontalAdvance(panes.at(i)->accessibleName()));
        lockWidths += panes.at(i)->width();
    }
    EXPECT_GT(message->width(), lockWidths) << "the message pane stretches";
    EXPECT_EQ(panes.at(1)->accessibleName().toStdString(), "CAP");
    EXPECT_EQ(panes.at(2)->accessibleName().toStdString(), "NUM");
    EXPECT_EQ(panes.at(3)->accessibleName().toStdString(), "SCRL");
}

TEST(MainFrame, ToolBarButtonsWithoutToolTipsFloatingAndDockingAnywhere) {
    MarquetaWindow w;
    QToolBar* bar = Named<QToolBar>(*w.frame, "toolBar");
    EXPECT_EQ(ActionTexts(bar->actions()), (Texts{"Add", "|", "Delete", "|", "Modify"}));
    EXPECT_EQ(bar->iconSize(), QSize(45, 15));
    EXPECT_TRUE(bar->isFloatable());
    EXPECT_TRUE(bar->isMovable());
    EXPECT_EQ(bar->allowedAreas(), Qt::AllToolBarAreas);
    EXPECT_EQ(w.frame->toolBarArea(bar), Qt::TopToolBarArea);

    for (const char* name : {"addAction", "deleteAction", "modifyAction"}) {
        QAction* action = Named<QAction>(*w.frame, name);
        QWidget* button = bar->widgetForAction(action);
        ASSERT_NE(button, nullptr);
        EXPECT_FALSE(action->icon().isNull());
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), button->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(button, &help);
        EXPECT_FALSE(QToolTip::isVisible()) << action->text().toStdString();
        EXPECT_TRUE(action->statusTip().isEmpty());
    }

    for (Qt::ToolBarArea area : {Qt::LeftToolBarArea, Qt::BottomToolBarArea, Qt::RightToolBarArea, Qt::TopToolBarArea}) {
        w.frame->addToolBar(area, bar);
        EXPECT_EQ(w.frame->toolBarArea(bar), area);
        QTest::mouseClick(bar->widgetForAction(Named<QAction>(*w.frame, "deleteAction")), Qt::LeftButton);
        ASSERT_FALSE(w.boxes.shown.empty());
        EXPECT_EQ(w.boxes.shown.back().text, "Please select a row item to delete") << "the buttons keep working";
    }
    EXPECT_EQ(w.boxes.shown.size(), 4u);
}

TEST(MainFrame, ViewMenuShowsAndHidesTheBarsAndItsChecksFollow) {
    MarquetaWindow w;
    struct Case {
        QAction* action;
        QWidget* bar;
    };
    for (const Case c : {Case{Named<QAction>(*w.frame, "toolBarAction"), Named<QToolBar>(*w.frame, "toolBar")},
                         Case{Named<QAction>(*w.frame, "statusBarAction"), w.frame->statusBar()}}) {
        EXPECT_TRUE(c.action->isCheckable());
        EXPECT_TRUE(c.action->isChecked());
        EXPECT_TRUE(c.bar->isVisible());
        c.action->trigger();
        EXPECT_FALSE(c.bar->isVisible());
        EXPECT_FALSE(c.action->isChecked());
        c.action->trigger();
        EXPECT_TRUE(c.bar->isVisible());
        EXPECT_TRUE(c.action->isChecked());
    }
    Named<QToolBar>(*w.frame, "toolBar")->hide();
    EXPECT_FALSE(Named<QAction>(*w.frame, "toolBarAction")->isChecked())
        << "the check follows the bar however it is hidden";
}

TEST(MainFrame, FileSaveWritesTheRowsInDisplayOrderAndTheCaptionStays) {
    const std::vector<Cells> rows = {ListRow("charlie", "3"), ListRow("alpha", "1"), ListRow("bravo", "2")};
    MarquetaWindow w(rows);
    ASSERT_EQ(w.view().rows().count(), 3);
    EXPECT_NE(w.trace.str().find("Line 0, field 1, word charlie"), std::string::npos);
    w.app.catalogue.paths().lastBrowseDir = w.dir.file("pictures") + "/";

    w.view().OnColumnClick(Sequence);
    WriteBytes(w.app.catalogue.paths().dataFilePath, "stale");
    w.boxes.answers = {platform::Answer::Overwrite};  // changed behind the window's back
    Named<QAction>(*w.frame, "saveAction")->trigger();

    EXPECT_EQ(w.catalogueText(), CatalogueBytes({rows[1], rows[2], rows[0]}));
    EXPECT_EQ(Message(w), "Done");
    EXPECT_EQ(w.frame->windowTitle().toStdString(), "Marqueta");
    EXPECT_EQ(ReadVeltaSetting("BANNER", "LASTBROWSEDIR"), w.app.catalogue.paths().lastBrowseDir);
    ASSERT_EQ(w.boxes.shown.size(), 1u);
    EXPECT_EQ(w.boxes.shown[0].buttons, platform::Buttons::ReloadOverwriteCancel);
}

TEST(MainFrame, ExitClosesAtOnceWithoutAQuestion) {
    MarquetaWindow w({ListRow("alpha")});
    w.view().rows().removeRow(0);
    const std::string before = w.catalogueText();
    Named<QAction>(*w.frame, "exitAction")->trigger();
    EXPECT_FALSE(w.frame->isVisible());
    EXPECT_TRUE(w.boxes.shown.empty());
    EXPECT_EQ(w.catalogueText(), before) << "nothing is written on closing";

    MarquetaWindow failed({ListRow("alpha")});
    failed.view().rows().setCell(0, Company, "beta");  // a change of this window, which the save then loses
    platform::fault::FailAt(platform::fault::Step::Write, 2);  // the settings are written, the catalogue not
    Named<QAction>(*failed.frame, "saveAction")->trigger();
    platform::fault::Reset();
    failed.boxes.answers = {platform::Answer::No};
    Named<QAction>(*failed.frame, "exitAction")->trigger();
    EXPECT_TRUE(failed.frame->isVisible()) << "a list that could not be saved asks first";
    EXPECT_EQ(failed.boxes.shown.size(), 2u);
}

TEST(MainFrame, AboutBox) {
    MarquetaWindow w;
    std::string title, version;
    QSize picture;
    bool okIsDefault = false;
    WorkModalDialog([&](QDialog& about) {
        title = about.windowTitle().toStdString();
        version = about.findChild<QLabel*>(QStringLiteral("versionLabel"))->text().toStdString();
        picture = about.findChild<QLabel*>(QStringLiteral("pictureLabel"))->pixmap().size();
        auto* ok = about.findChild<QPushButton*>(QStringLiteral("okPushButton"));
        okIsDefault = ok->isDefault() && ok->text() == QStringLiteral("OK");
        ok->click();
    });
    Named<QAction>(*w.frame, "aboutAction")->trigger();
    EXPECT_EQ(title, "About MARQUETA");
    EXPECT_EQ(version, "Marqueta Version 2.0");
    EXPECT_EQ(picture, QSize(100, 23));
    EXPECT_TRUE(okIsDefault);
}

}  // namespace
