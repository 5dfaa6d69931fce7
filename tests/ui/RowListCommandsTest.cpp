// The banner list's commands in the running window: Add, the double-click, Delete, Modify and
// the mark on a row's check box.
#include <functional>

#include <QAction>
#include <QDialog>
#include <QIcon>
#include <QLabel>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

#include "marqueta/ui/CBannerEditorDlg.h"
#include "marqueta/ui/FileDialogHook.h"
#include "tests/ui/ListRows.h"
#include "tests/ui/MarquetaWindow.h"
#include "tests/support/Named.h"

namespace {

using Texts = std::vector<std::string>;

std::vector<Cells> Banners(int count) {
    std::vector<Cells> rows;
    for (int i = 1; i <= count; ++i) {
        Cells cells = ListRow("company" + std::to_string(i), std::to_string(i));
        char uid[9];
        std::snprintf(uid, sizeof uid, "%08X", 0x100 + i);
        cells[Uid] = uid;
        rows.push_back(cells);
    }
    return rows;
}

QString Field(QDialog& dialog, const char* name) {
    return dialog.findChild<QLineEdit*>(QString::fromLatin1(name))->text();
}

void SetField(QDialog& dialog, const char* name, const char* text) {
    dialog.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QString::fromLatin1(text));
}

void Click(QDialog& dialog, const char* name) { dialog.findChild<QPushButton*>(QString::fromLatin1(name))->click(); }

void SelectRows(CRowListView& view, std::initializer_list<int> positions) {
    for (int p : positions)
        view.selectionModel()->select(view.shownIndex(p), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// The fields an editor was opened with.
struct OpenedEditor {
    Texts fields;
    bool opened = false;
};

// Modify on the first of two banners; while its editor stands open another program saves the
// catalogue without it, the field is edited and Submit is answered with Reload. The editor opened
// again with the kept input is handed to reopened.
void ModifyARowSavedAway(MarquetaWindow& w, const std::vector<Cells>& rows,
                         const std::function<void(QDialog&)>& reopened) {
    SelectRows(w.view(), {0});
    WorkModalDialog([&](QDialog& first) {
        WriteBytes(w.app.catalogue.paths().dataFilePath, CatalogueBytes({rows[1]}));
        SetField(first, "companyLineEdit", "Edited");
        WorkModalDialog(reopened);
        Click(first, "submitPushButton");
    });
    w.boxes.answers = {platform::Answer::Reload};
    Named<QAction>(*w.frame, "modifyAction")->trigger();
    QTest::qWait(50);
}

// Records the editor's fields and leaves it with Cancel.
void RecordAndCancel(OpenedEditor& seen) {
    WorkModalDialog([&seen](QDialog& d) {
        seen.opened = true;
        for (const char* name : {"imageLineEdit", "companyLineEdit", "productLineEdit", "sequenceLineEdit",
                                 "urlLineEdit", "rateLineEdit", "uidLineEdit"})
            seen.fields.push_back(Field(d, name).toStdString());
        Click(d, "cancelPushButton");
    });
}

TEST(RowListCommands, AddWithARowSelectedOpensAnEmptyEditorAndAppendsAtTheEnd) {
    MarquetaWindow w(Banners(3));
    SelectRows(w.view(), {0});
    const std::string picture = w.dir.file("logo.gif");
    WriteBytes(picture, "GIF89a");

    Texts opened;
    WorkModalDialog([&](QDialog& d) {
        opened = {Field(d, "imageLineEdit").toStdString(), Field(d, "companyLineEdit").toStdString(),
                  Field(d, "urlLineEdit").toStdString(), Field(d, "uidLineEdit").toStdString()};
        SetNextChosenImageFile(picture);
        Click(d, "browsePushButton");
        SetField(d, "companyLineEdit", "NewCo");
        SetField(d, "productLineEdit", "Gadget");
        SetField(d, "sequenceLineEdit", "7");
        SetField(d, "urlLineEdit", "http://new.example/");
        SetField(d, "rateLineEdit", "5");
        Click(d, "submitPushButton");
    });
    QToolBar* bar = Named<QToolBar>(*w.frame, "toolBar");
    QTest::mouseClick(bar->widgetForAction(Named<QAction>(*w.frame, "addAction")), Qt::LeftButton);

    EXPECT_EQ(opened, (Texts{"", "", "http://", ""}));
    ASSERT_EQ(w.view().rows().count(), 4);
    const Cells added = w.view().rows().row(3).cells;
    EXPECT_EQ(added[Image], "logo.gif");
    EXPECT_EQ(added[Company], "NewCo");
    EXPECT_EQ(added[Url], "http://new.example/");
    EXPECT_EQ(added[Ext], ".gif");
    ASSERT_EQ(added[Uid].size(), 8u);
    EXPECT_EQ(added[Uid].substr(0, 4), "0000");
    EXPECT_EQ(ReadBytes(w.imageFile(added[Uid] + ".gif")), "GIF89a");
    EXPECT_TRUE(Exists(w.bannerFile(added[Uid] + ".html")));
    EXPECT_TRUE(Exists(picture)) << "an image from another folder is copied, not moved";
    ASSERT_EQ(w.boxes.shown.size(), 1u);
    EXPECT_EQ(w.boxes.shown[0].text.rfind("Created the following banner:\n", 0), 0u);

    std::vector<Cells> expected = Banners(3);
    expected.push_back(added);
    EXPECT_EQ(w.catalogueText(), CatalogueBytes(expected));
}

TEST(RowListCommands, DoubleClickOpensTheRowUnderTheMouseOrAnEmptyEditorBelowTheLast) {
    std::vector<Cells> rows = Banners(3);
    rows[1][Url] = "";
    MarquetaWindow w(rows);
    const std::string before = w.catalogueText();

    struct Case {
        const char* name;
        QPoint at;
        Texts expected;
    };
    const RowLayout second = w.view().rowLayout(1);
    const RowLayout third = w.view().rowLayout(2);
    const Case cases[] = {
        {"below the last row", QPoint(200, third.bounds.bottom() + 30), Texts{"", "", "", "", "http://", "", ""}},
        {"on a row without a link", QPoint(200, second.bounds.center().y()),
         Texts{rows[1][Image], rows[1][Company], rows[1][Product], rows[1][Sequence], "http://", rows[1][Rate],
               rows[1][Uid]}},
    };
    for (const Case& c : cases) {
        OpenedEditor seen;
        RecordAndCancel(seen);
        QTest::mouseDClick(w.view().viewport(), Qt::LeftButton, {}, c.at);
        EXPECT_TRUE(seen.opened) << c.name;
        EXPECT_EQ(seen.fields, c.expected) << c.name;
    }
    EXPECT_EQ(w.view().rows().count(), 3);
    EXPECT_EQ(w.catalogueText(), before) << "a cancelled edit saves nothing";
    EXPECT_TRUE(w.boxes.shown.empty());
}

TEST(RowListCommands, DeleteAsksAboutTheFirstSelectedRowAndNoRemovesNothingButSaves) {
    const std::vector<Cells> rows = Banners(8);
    MarquetaWindow w(rows);
    SelectRows(w.view(), {1, 4, 6});
    WriteBytes(w.bannerFile(rows[1][Uid] + ".html"), "page");
    WriteBytes(w.app.catalogue.paths().dataFilePath, "stale");

    // First: overwrite the file changed behind the window's back; then: do not delete.
    w.boxes.answers = {platform::Answer::Overwrite, platform::Answer::No};
    Named<QAction>(*w.frame, "deleteAction")->trigger();

    ASSERT_EQ(w.boxes.shown.size(), 2u);
    EXPECT_EQ(w.boxes.shown[1].text, "Are you sure you want to delete row 2?\n\nBanner: " + rows[1][Image]);
    EXPECT_EQ(w.boxes.shown[1].buttons, platform::Buttons::YesNo);
    EXPECT_EQ(w.view().rows().count(), 8);
    EXPECT_TRUE(Exists(w.bannerFile(rows[1][Uid] + ".html")));
    EXPECT_EQ(w.catalogueText(), CatalogueBytes(rows)) << "saved whatever the answer";
    EXPECT_EQ(Named<QLabel>(*w.frame, "messagePaneLabel")->text().toStdString(), "Done");
}

TEST(RowListCommands, DeleteYesRemovesOnlyTheFirstSelectedRowAndItsFiles) {
    std::vector<Cells> rows = Banners(8);
    MarquetaWindow w(rows);
    SelectRows(w.view(), {1, 4, 6});
    const std::string uid = rows[1][Uid];
    for (const std::string& name : {uid + ".html", uid + ".htm", rows[4][Uid] + ".html"})
        WriteBytes(w.bannerFile(name), "page");
    for (const std::string& name : {uid + ".gif", uid + ".jpg", rows[4][Uid] + ".gif"}) WriteBytes(w.imageFile(name), "img");

    w.boxes.answers = {platform::Answer::Yes};
    Named<QAction>(*w.frame, "deleteAction")->trigger();

    rows.erase(rows.begin() + 1);
    EXPECT_EQ(w.catalogueText(), CatalogueBytes(rows));
    for (const std::string& gone : {w.bannerFile(uid + ".html"), w.bannerFile(uid + ".htm"), w.imageFile(uid + ".gif"),
                                    w.imageFile(uid + ".jpg")})
        EXPECT_FALSE(Exists(gone)) << gone;
    EXPECT_TRUE(Exists(w.bannerFile(rows[3][Uid] + ".html")));
    EXPECT_TRUE(Exists(w.imageFile(rows[3][Uid] + ".gif")));
}

TEST(RowListCommands, DeleteWithoutASelectionOnlySaysSo) {
    MarquetaWindow w(Banners(2));
    const std::string before = w.catalogueText();
    Named<QAction>(*w.frame, "deleteAction")->trigger();
    EXPECT_EQ(w.boxes.texts(), (Texts{"Please select a row item to delete"}));
    EXPECT_EQ(w.view().rows().count(), 2);
    EXPECT_EQ(Named<QLabel>(*w.frame, "messagePaneLabel")->text().toStdString(), "Ready") << "no save";
    EXPECT_EQ(w.catalogueText(), before);
}

TEST(RowListCommands, ModifyEditsTheFirstSelectedRowAndNothingWithoutASelection) {
    const std::vector<Cells> rows = Banners(8);
    MarquetaWindow w(rows);
    Named<QAction>(*w.frame, "modifyAction")->trigger();
    EXPECT_TRUE(w.boxes.shown.empty()) << "no editor and no message without a selection";

    SelectRows(w.view(), {6, 1, 4});
    OpenedEditor seen;
    RecordAndCancel(seen);
    Named<QAction>(*w.frame, "modifyAction")->trigger();
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.fields.at(1), rows[1][Company]);
    EXPECT_EQ(seen.fields.at(4), rows[1][Url]);

    // Submit without changes: the row keeps its id and is saved as it was.
    WorkModalDialog([](QDialog& d) { Click(d, "submitPushButton"); });
    Named<QAction>(*w.frame, "modifyAction")->trigger();
    EXPECT_EQ(w.view().rows().row(1).cells[Uid], rows[1][Uid]);
    EXPECT_TRUE(w.boxes.shown.empty()) << "no new image and no new link: no report";
}

// Another program deleted the banner while the editor stood on it: after Reload at Submit the
// input is not lost; the editor opens again with it, and its next Submit adds a new banner.
TEST(RowListCommands, SubmitAfterAReloadThatLostTheRowKeepsTheInputForANewBanner) {
    const std::vector<Cells> rows = Banners(2);
    MarquetaWindow w(rows);
    const std::string picture = w.dir.file("logo.gif");
    WriteBytes(picture, "GIF89a");
    std::string reopenedWith;
    ModifyARowSavedAway(w, rows, [&](QDialog& second) {
        reopenedWith = Field(second, "companyLineEdit").toStdString();
        SetNextChosenImageFile(picture);
        Click(second, "browsePushButton");
        Click(second, "submitPushButton");
    });

    EXPECT_EQ(reopenedWith, "Edited");
    EXPECT_EQ(w.boxes.texts().at(1), "The banner img-company1 (id 00000101) is no longer in the reloaded catalogue "
                                      "file as it was. Nothing was changed. The editor keeps your input: Submit "
                                      "adds it as a new banner, Cancel drops it.");
    ASSERT_EQ(w.view().rows().count(), 2);
    EXPECT_EQ(w.view().rows().row(0).cells, rows[1]) << "the other banner is untouched";
    EXPECT_EQ(w.view().rows().cell(1, Company), "Edited");
    EXPECT_EQ(w.catalogueText(), CatalogueBytes({rows[1], w.view().rows().row(1).cells}));
}

// The kept input's Submit finds no image to copy (the other program deleted the banner's image
// with it): after the message the editor opens again with the input, and Cancel drops it.
TEST(RowListCommands, AKeptInputWhoseSubmitFailsOpensTheEditorAgain) {
    const std::vector<Cells> rows = Banners(2);
    MarquetaWindow w(rows);
    std::string reopenedWith;
    ModifyARowSavedAway(w, rows, [&](QDialog& second) {
        WorkModalDialog([&](QDialog& third) {
            reopenedWith = Field(third, "companyLineEdit").toStdString();
            Click(third, "cancelPushButton");
        });
        Click(second, "submitPushButton");
    });

    EXPECT_EQ(reopenedWith, "Edited");
    ASSERT_EQ(w.boxes.texts().size(), 3u);
    EXPECT_EQ(w.boxes.texts()[2].rfind("Could not copy file ", 0), 0u)
        << w.boxes.texts()[2];
    EXPECT_EQ(w.catalogueText(), CatalogueBytes({rows[1]}));
}

TEST(RowListCommands, PressOnTheCheckBoxMarksTheRowAndLendsItsIconsToTheWindow) {
    MarquetaWindow w(Banners(4));
    CRowListView& view = w.view();
    const RowLayout third = view.rowLayout(2);
    const QPoint box = third.stateImage.center();

    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, box);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, box);
    EXPECT_EQ(view.rows().row(2).stateImage, 2);
    EXPECT_EQ(view.markedRow(), 2);
    EXPECT_EQ(view.firstSelectedRow(), -1) << "marking does not select";
    const QIcon icon = w.frame->windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(16, 16).toImage(), view.imageLists().small.at(2).toImage());
    EXPECT_EQ(icon.pixmap(32, 32).toImage(), view.imageLists().large.at(2).toImage());

    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, box, 1000);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, box);
    EXPECT_EQ(view.rows().row(2).stateImage, 1);
    EXPECT_EQ(view.markedRow(), -1);
    EXPECT_TRUE(w.frame->windowIcon().cacheKey() == QApplication::windowIcon().cacheKey() ||
                w.frame->windowIcon().isNull());

    // A press on the text selects as usual and marks nothing.
    const QPoint text(third.cells.at(Company).center().x(), view.rowLayout(1).bounds.center().y());
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, text, 1000);
    EXPECT_EQ(view.firstSelectedRow(), 1);
    EXPECT_EQ(view.rows().row(1).stateImage, 0);
    EXPECT_EQ(view.markedRow(), -1);
}

TEST(RowListCommands, RowsPastTheEighthLendNoIcon) {
    MarquetaWindow w(Banners(10));
    w.view().ToggleMark(9);
    EXPECT_EQ(w.view().rows().row(9).stateImage, 2);
    EXPECT_TRUE(w.frame->windowIcon().availableSizes().isEmpty());
    w.view().ToggleMark(9);
    EXPECT_EQ(w.view().rows().row(9).stateImage, 1);
}

}  // namespace
