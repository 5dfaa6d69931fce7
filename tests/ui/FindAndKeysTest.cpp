// The find field and the keyboard in the running window: a filter narrows only what is shown,
// never what Save, Delete and their row numbers work on.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "marqueta/ui/FindBar.h"
#include "tests/ui/ListRows.h"
#include "tests/ui/MarquetaWindow.h"

namespace {

std::vector<Cells> Banners() {
    std::vector<Cells> rows;
    for (const char* company : {"Harbor", "Northwind", "harbor lights", "Velo"}) {
        Cells cells = ListRow(company);
        cells[Uid] = std::string("0000A0") + static_cast<char>('0' + rows.size());
        rows.push_back(cells);
    }
    return rows;
}

void Find(MarquetaWindow& w, const char* text) {
    w.frame->findAction()->trigger();
    QLineEdit* field = w.frame->findBar()->field();
    ASSERT_TRUE(field->isVisible());
    QTest::keyClicks(field, QString::fromLatin1(text));
}

void Select(CRowListView& view, int shownRow) {
    view.selectionModel()->select(view.model()->index(shownRow, 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// Shortcuts reach only the active window; a closed modal dialog leaves none on the offscreen platform.
void Activate(MarquetaWindow& w) {
    QApplication::setActiveWindow(w.frame.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.frame.get()));
    w.view().setFocus();
    QTRY_COMPARE(QApplication::activeWindow(), w.frame.get());
}

TEST(FindAndKeys, FindNarrowsTheShownRowsCaseFoldedAndEscapeShowsAllAgain) {
    MarquetaWindow w(Banners());
    Find(w, "HARBOR");
    EXPECT_EQ(w.view().model()->rowCount(), 2);
    EXPECT_EQ(w.view().rowOf(w.view().model()->index(1, 0)), 2);
    EXPECT_EQ(w.view().rows().count(), 4);
    QTest::keyClick(w.frame->findBar()->field(), Qt::Key_Escape);
    EXPECT_FALSE(w.frame->findBar()->isVisible());
    EXPECT_TRUE(w.frame->findBar()->field()->text().isEmpty());
    EXPECT_EQ(w.view().model()->rowCount(), 4);
}

TEST(FindAndKeys, SaveAndSortWithAFilterOnWorkOnEveryRow) {
    std::vector<Cells> rows = Banners();
    MarquetaWindow w(rows);
    Find(w, "harbor");
    w.view().OnColumnClick(Company);  // sorts all rows, shown or not
    w.frame->saveAction()->trigger();
    std::sort(rows.begin(), rows.end(), [](const Cells& a, const Cells& b) {
        return QString::fromStdString(a[Company]).compare(QString::fromStdString(b[Company]), Qt::CaseInsensitive) < 0;
    });
    EXPECT_EQ(w.catalogueText(), CatalogueBytes(rows));
    EXPECT_EQ(w.view().model()->rowCount(), 2);
}

TEST(FindAndKeys, DeleteWithAFilterOnAsksAboutTheRowsPlaceAmongAllRows) {
    std::vector<Cells> rows = Banners();
    MarquetaWindow w(rows);
    Find(w, "lights");
    Select(w.view(), 0);
    w.boxes.answers = {platform::Answer::Yes};
    w.frame->deleteAction()->trigger();
    EXPECT_EQ(w.boxes.texts(), (std::vector<std::string>{"Are you sure you want to delete row 3?"}));
    rows.erase(rows.begin() + 2);
    EXPECT_EQ(w.catalogueText(), CatalogueBytes(rows));
    EXPECT_EQ(w.view().model()->rowCount(), 0);
}

TEST(FindAndKeys, InsertEnterDeleteAndCtrlSRunTheirCommands) {
    std::vector<Cells> rows = Banners();
    MarquetaWindow w(rows);
    Activate(w);

    std::string opened = "none";
    const auto recordCompany = [&opened](QDialog& d) {
        opened = d.findChild<QLineEdit*>(QStringLiteral("companyLineEdit"))->text().toStdString();
        d.findChild<QPushButton*>(QStringLiteral("cancelPushButton"))->click();
    };
    WorkModalDialog(recordCompany);
    QTest::keyClick(&w.view(), Qt::Key_Insert);
    EXPECT_EQ(opened, "") << "Insert adds";

    Select(w.view(), 1);
    Activate(w);
    WorkModalDialog(recordCompany);
    QTest::keyClick(&w.view(), Qt::Key_Return);
    EXPECT_EQ(opened, "Northwind") << "Enter modifies the selected row";

    Activate(w);
    w.boxes.answers = {platform::Answer::No};
    QTest::keyClick(&w.view(), Qt::Key_Delete);
    EXPECT_EQ(w.boxes.texts(), (std::vector<std::string>{"Are you sure you want to delete row 2?"}));

    WriteBytes(w.app.paths.dataFilePath, "stale");
    QTest::keyClick(&w.view(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(w.catalogueText(), CatalogueBytes(rows));

    // In the find field Delete edits the text and leaves the banners alone.
    Find(w, "ab");
    QTest::keyClick(w.frame->findBar()->field(), Qt::Key_Delete);
    EXPECT_EQ(w.boxes.shown.size(), 1u);
    EXPECT_EQ(w.view().rows().count(), 4);
}

}  // namespace
