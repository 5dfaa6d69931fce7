// The find field and the keyboard in the running window: a filter narrows only what is shown,
// never what Save, Delete and their row numbers work on.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "marqueta/ui/FindBar.h"
#include "tests/support/ExpectSoon.h"
#include "tests/ui/ListRows.h"
#include "tests/ui/MarquetaWindow.h"
#include "tests/support/Named.h"

namespace {

using Texts = std::vector<std::string>;

std::vector<Cells> Banners() {
    std::vector<Cells> rows;
    for (const char* company : {"Harbor", "Northwind", "harbor lights", "Velo"}) rows.push_back(ListRow(company));
    return rows;
}

void Find(MarquetaWindow& w, const char* text) {
    Named<QAction>(*w.frame, "findAction")->trigger();
    QTest::keyClicks(Named<QLineEdit>(*w.frame, "findLineEdit"), QString::fromLatin1(text));
}

// Shortcuts reach only the active window; a closed modal dialog leaves none on the offscreen platform.
void Activate(MarquetaWindow& w) {
    QApplication::setActiveWindow(w.frame.get());
    w.view().setFocus();
    ExpectSoon([] { return QApplication::activeWindow(); }, static_cast<QWidget*>(w.frame.get()));
}

TEST(FindAndKeys, FindNarrowsTheShownRowsButSaveSortAndEscapeWorkOnAll) {
    std::vector<Cells> rows = Banners();
    MarquetaWindow w(rows);
    Find(w, "HARBOR");
    EXPECT_EQ(w.view().model()->rowCount(), 2);
    EXPECT_EQ(w.view().rowOf(w.view().model()->index(1, 0)), 2);
    w.view().OnColumnClick(Company);
    Named<QAction>(*w.frame, "saveAction")->trigger();
    std::swap(rows[2], rows[1]);  // Harbor, harbor lights, Northwind, Velo
    EXPECT_EQ(w.catalogueText(), CatalogueBytes(rows));
    QTest::keyClick(Named<QLineEdit>(*w.frame, "findLineEdit"), Qt::Key_Escape);
    EXPECT_FALSE(Named<FindBar>(*w.frame, "findBar")->isVisible());
    EXPECT_EQ(w.view().model()->rowCount(), 4);
}

// Today is 15 June 2005 in MarquetaWindow.
std::vector<Cells> ScheduledBanners() {
    std::vector<Cells> rows;
    const std::pair<const char*, const char*> banners[] = {
        {"Harbor", "12/31/2005"},  {"Northwind", "06/20/2005"}, {"harbor lights", "12/31/2005"},
        {"Velo", "05/31/2005"},    {"Acme", "12/31/2005"},      {"Orchard", "05/31/2005"}};
    for (const auto& [company, end] : banners) {
        rows.push_back(ListRow(company, "1", rows.size() == 2 ? "07/01/2005" : "01/01/2005"));
        rows.back()[EndDate] = end;
    }
    return rows;  // running, ends soon, scheduled, expired, running, expired
}

struct FindCase {
    const char* text;
    const char* state;
    Texts shown;
    const char* count;
};

TEST(FindAndKeys, FindTextAndStateNarrowTheRowsAndTheBarCountsThem) {
    const FindCase cases[] = {
        {"", "All", {"Harbor", "Northwind", "harbor lights", "Velo", "Acme", "Orchard"}, "6 of 6 banners shown"},
        {"harbor", "All", {"Harbor", "harbor lights"}, "2 of 6 banners shown"},
        {"", "Running", {"Harbor", "Acme"}, "2 of 6 banners shown"},
        {"", "Ends soon", {"Northwind"}, "1 of 6 banners shown"},
        {"", "Scheduled", {"harbor lights"}, "1 of 6 banners shown"},
        {"", "Expired", {"Velo", "Orchard"}, "2 of 6 banners shown"},
        {"HARBOR", "Running", {"Harbor"}, "1 of 6 banners shown"},
        {"velo", "Running", {}, "No banner matches 'velo'"},
        {"zz, 'q'", "All", {}, "No banner matches 'zz, 'q''"},
    };
    MarquetaWindow w(ScheduledBanners());
    FindBar& bar = *Named<FindBar>(*w.frame, "findBar");
    auto* states = bar.findChild<QComboBox*>(QStringLiteral("findStateComboBox"));
    auto* count = bar.findChild<QLabel*>(QStringLiteral("findCountLabel"));
    ASSERT_TRUE(states && count);
    EXPECT_EQ(states->accessibleName(), QStringLiteral("Show"));
    for (const FindCase& c : cases) {
        Find(w, c.text);
        states->setCurrentText(QString::fromLatin1(c.state));
        Texts shown;
        for (int row = 0; row < w.view().model()->rowCount(); ++row)
            shown.push_back(w.view().model()->index(row, Company).data().toString().toStdString());
        EXPECT_EQ(shown, c.shown) << c.text << " " << c.state;
        ExpectSoon([count] { return count->text(); }, QString::fromLatin1(c.count));
        QTest::keyClick(Named<QLineEdit>(bar, "findLineEdit"), Qt::Key_Escape);
        EXPECT_EQ(w.view().model()->rowCount(), 6) << "Escape shows every state again";
    }
    Find(w, "harbor");
    w.view().rows().removeRow(3);  // a row the filter hides still counts
    ExpectSoon([count] { return count->text(); }, QStringLiteral("2 of 5 banners shown"));
}

TEST(FindAndKeys, DeleteWithAFilterOnAsksAboutTheRowsPlaceAmongAllRows) {
    std::vector<Cells> rows = Banners();
    MarquetaWindow w(rows);
    Find(w, "lights");
    w.view().selectionModel()->select(w.view().model()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    w.boxes.answers = {platform::Answer::Yes};
    Named<QAction>(*w.frame, "deleteAction")->trigger();
    // The row's place among all rows, and the banner it is, as the filter shows only this one.
    EXPECT_EQ(w.boxes.texts(), Texts{"Are you sure you want to delete row 3?\n\nBanner: " + rows[2][Image]});
    rows.erase(rows.begin() + 2);
    EXPECT_EQ(w.catalogueText(), CatalogueBytes(rows));
}

TEST(FindAndKeys, InsertEnterDeleteAndCtrlSRunTheirCommands) {
    const std::vector<Cells> rows = Banners();
    MarquetaWindow w(rows);
    Texts opened;
    const auto key = [&](Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
        Activate(w);
        WorkModalDialog([&opened](QDialog& d) {
            opened.push_back(d.findChild<QLineEdit*>(QStringLiteral("companyLineEdit"))->text().toStdString());
            d.reject();
        });
        QTest::keyClick(&w.view(), k, modifiers);
    };
    key(Qt::Key_Insert);
    w.view().selectionModel()->select(w.view().shownIndex(1), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    key(Qt::Key_Return);
    EXPECT_EQ(opened, (Texts{"", "Northwind"}));
    // "stale" stands for a write by another program: each command asks first (Overwrite).
    w.boxes.answers = {platform::Answer::Overwrite, platform::Answer::No};
    WriteBytes(w.app.catalogue.paths().dataFilePath, "stale");
    Activate(w);
    QTest::keyClick(&w.view(), Qt::Key_Delete);
    ASSERT_EQ(w.boxes.shown.size(), 2u);
    EXPECT_EQ(w.boxes.texts().back(), "Are you sure you want to delete row 2?\n\nBanner: " + rows[1][Image]);
    w.boxes.answers = {platform::Answer::Overwrite};
    WriteBytes(w.app.catalogue.paths().dataFilePath, "stale");
    QTest::keyClick(&w.view(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(w.catalogueText(), CatalogueBytes(rows));
    const std::size_t shown = w.boxes.shown.size();
    Find(w, "ab");  // in the find field Delete edits the text
    QTest::keyClick(Named<QLineEdit>(*w.frame, "findLineEdit"), Qt::Key_Delete);
    EXPECT_EQ(w.boxes.shown.size(), shown);
}

}  // namespace
