// The list's commands in the running window, on a catalogue of eight banners with their files.
#include <QAction>
#include <QDateEdit>
#include <QItemSelectionModel>
#include <QLabel>
#include <gtest/gtest.h>

#include "marqueta/ui/CBannerEditorDlg.h"
#include "marqueta/ui/CRowListView.h"
#include "marqueta/ui/FileDialogHook.h"
#include "tests/e2e/DemoInstallation.h"
#include "tests/e2e/MarquetaSession.h"
#include "tests/support/Named.h"

namespace {

class MarquetaCommands : public ::testing::Test {
protected:
    void SetUp() override {
        for (int n = 1; n <= 8; ++n) {
            rows.push_back(BannerRow(n, std::to_string(10 - n)));
            demo.writeImage(rows.back()[Uid] + ".gif");
            demo.writeFile("web/banners/" + rows.back()[Uid] + ".html", "page " + std::to_string(n));
        }
        demo.writeFile("web/banners/00000002.htm", "older page 2");
        demo.writeCatalogue(rows);
        ASSERT_TRUE(session.start());
        ASSERT_EQ(session.rowCount(), 8);
    }

    std::vector<int> selectedRows() const {
        std::vector<int> positions;
        for (const QModelIndex& index : session.view().selectionModel()->selectedRows()) positions.push_back(index.row());
        std::sort(positions.begin(), positions.end());
        return positions;
    }

    DemoInstallation demo;
    std::vector<Cells> rows;
    MarquetaSession session;
};

}  // namespace

TEST_F(MarquetaCommands, AddWithARowSelectedAppendsAtTheEnd) {
    session.clickRow(2);
    ASSERT_EQ(selectedRows(), std::vector<int>{2});
    const std::string source = demo.writeFile("elsewhere/spring.png", "PNG spring");
    session.whenEditorOpens([&](CBannerEditorDlg& editor) {
        for (const char* field : {"imageLineEdit", "companyLineEdit", "productLineEdit", "uidLineEdit"})
            EXPECT_EQ(FieldText(editor, field), "") << field;
        EXPECT_EQ(FieldText(editor, "urlLineEdit"), "http://");
        for (const char* picker : {"beginDateEdit", "endDateEdit"})
            EXPECT_EQ(editor.findChild<QDateEdit*>(QString::fromLatin1(picker))->date(), QDate::currentDate()) << picker;
        SetNextChosenImageFile(source);
        PressButton(editor, "browsePushButton");
        TypeInto(editor, "companyLineEdit", "Spring Co");
        TypeInto(editor, "productLineEdit", "Tulips");
        TypeInto(editor, "sequenceLineEdit", "4");
        TypeInto(editor, "urlLineEdit", "http://spring.example/");
        PressButton(editor, "submitPushButton");
    });
    session.press(Named<QAction>(session.frame(), "addAction"));
    ASSERT_TRUE(session.editorOpened());

    ASSERT_EQ(session.rowCount(), 9);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(session.row(i), rows[static_cast<std::size_t>(i)]) << "row " << i;
    const Cells added = session.row(8);
    EXPECT_EQ(added[Image], "spring.png");
    EXPECT_EQ(added[Company], "Spring Co");
    EXPECT_EQ(added[Url], "http://spring.example/");
    EXPECT_EQ(added[Ext], ".png");
    EXPECT_EQ(added[BeginDate], QDate::currentDate().toString(QStringLiteral("MM/dd/yyyy")).toStdString());
    EXPECT_EQ(ReadBytes(demo.imagesDir() + added[Uid] + ".png"), "PNG spring");
    EXPECT_EQ(ReadBytes(source), "PNG spring") << "an image from elsewhere is copied";
    EXPECT_TRUE(Exists(demo.bannersDir() + added[Uid] + ".html"));
    ASSERT_EQ(session.boxes.shown.size(), 1u);
    EXPECT_EQ(session.boxes.shown[0].text.rfind("Created the following banner:\n", 0), 0u);
    const std::vector<Cells> saved = ReadCatalogue(demo.catalogue());
    ASSERT_EQ(saved.size(), 9u);
    EXPECT_EQ(saved.back(), added);
}

TEST_F(MarquetaCommands, DoubleClickBelowTheLastRowOpensAnEmptyEditor) {
    const std::string before = ReadBytes(demo.catalogue());
    session.whenEditorOpens([&](CBannerEditorDlg& editor) {
        EXPECT_EQ(FieldText(editor, "companyLineEdit"), "");
        EXPECT_EQ(FieldText(editor, "uidLineEdit"), "");
        EXPECT_EQ(FieldText(editor, "urlLineEdit"), "http://");
        TypeInto(editor, "companyLineEdit", "Never mind");
        PressButton(editor, "cancelPushButton");
    });
    session.doubleClick(-1);
    EXPECT_TRUE(session.editorOpened());

    session.whenEditorOpens([&](CBannerEditorDlg& editor) {
        EXPECT_EQ(FieldText(editor, "companyLineEdit"), rows[4][Company]);
        EXPECT_EQ(FieldText(editor, "uidLineEdit"), rows[4][Uid]);
        PressButton(editor, "cancelPushButton");
    });
    session.doubleClick(4);
    EXPECT_TRUE(session.editorOpened());

    EXPECT_EQ(session.rowCount(), 8);
    EXPECT_EQ(ReadBytes(demo.catalogue()), before) << "a cancelled edit saves nothing";
    EXPECT_TRUE(session.boxes.shown.empty());
}

TEST_F(MarquetaCommands, DeleteAsksAboutTheFirstSelectedRowAndRemovesOnlyIt) {
    session.clickRow(1);
    session.clickRow(4, true);
    session.clickRow(6, true);
    ASSERT_EQ(selectedRows(), (std::vector<int>{1, 4, 6}));
    session.boxes.answers = {platform::Answer::Yes};
    session.press(Named<QAction>(session.frame(), "deleteAction"));

    ASSERT_EQ(session.boxes.shown.size(), 1u);
    EXPECT_EQ(session.boxes.shown[0].text, "Are you sure you want to delete row 2?\n\nBanner: " + rows[1][Image]);
    EXPECT_EQ(session.boxes.shown[0].buttons, platform::Buttons::YesNo);
    std::vector<Cells> expected = rows;
    expected.erase(expected.begin() + 1);
    ASSERT_EQ(session.rowCount(), 7);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(session.row(i), expected[static_cast<std::size_t>(i)]);
    EXPECT_EQ(ReadCatalogue(demo.catalogue()), expected);
    for (const char* gone : {"web/banners/00000002.html", "web/banners/00000002.htm", "web/banners/images/00000002.gif"})
        EXPECT_FALSE(Exists(demo.root() + "/" + gone)) << gone;
    for (const Cells& kept : expected) {
        EXPECT_TRUE(Exists(demo.imagesDir() + kept[Uid] + ".gif")) << kept[Uid];
        EXPECT_TRUE(Exists(demo.bannersDir() + kept[Uid] + ".html")) << kept[Uid];
    }
}

TEST_F(MarquetaCommands, AnsweringNoRemovesNothingButSaves) {
    session.clickRow(0);
    WriteBytes(demo.catalogue(), "stale\r\n");
    const auto filesBefore = Snapshot(demo.imagesDir());
    // First: overwrite the file changed behind the window's back; then: do not delete.
    session.boxes.answers = {platform::Answer::Overwrite, platform::Answer::No};
    session.press(Named<QAction>(session.frame(), "deleteAction"));

    ASSERT_EQ(session.boxes.shown.size(), 2u);
    EXPECT_EQ(session.boxes.shown[1].text, "Are you sure you want to delete row 1?\n\nBanner: " + rows[0][Image]);
    EXPECT_EQ(session.rowCount(), 8);
    EXPECT_EQ(ReadCatalogue(demo.catalogue()), rows) << "written again from the rows";
    EXPECT_EQ(Snapshot(demo.imagesDir()), filesBefore);
    EXPECT_TRUE(Exists(demo.bannersDir() + "00000001.html"));
    EXPECT_EQ(Named<QLabel>(session.frame(), "messagePaneLabel")->text(), QStringLiteral("Done"));
}

TEST_F(MarquetaCommands, DeleteWithoutASelectionOnlySaysSo) {
    const std::string before = ReadBytes(demo.catalogue());
    session.press(Named<QAction>(session.frame(), "deleteAction"));
    ASSERT_EQ(session.boxes.shown.size(), 1u);
    EXPECT_EQ(session.boxes.shown[0].text, "Please select a row item to delete");
    EXPECT_EQ(session.rowCount(), 8);
    EXPECT_EQ(ReadBytes(demo.catalogue()), before);
}

TEST_F(MarquetaCommands, MarkingRowThreeLendsItsIconsAndASecondPressClearsThem) {
    session.clickRow(5);
    ASSERT_TRUE(session.frame().windowIcon().isNull());
    session.pressStateImage(2);
    EXPECT_EQ(session.view().rows().row(2).stateImage, 2) << "ticked";
    EXPECT_EQ(session.view().markedRow(), 2);
    const QIcon icon = session.frame().windowIcon();
    ASSERT_FALSE(icon.isNull());
    const ListImages& images = session.view().imageLists();
    ASSERT_GT(images.small.size(), 2);
    EXPECT_EQ(icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32),
              images.small.at(2).toImage().convertToFormat(QImage::Format_ARGB32))
        << "the third small image";
    EXPECT_EQ(selectedRows(), std::vector<int>{5}) << "a press on the box does not select";

    session.pressStateImage(2);
    EXPECT_EQ(session.view().rows().row(2).stateImage, 1) << "an empty box";
    EXPECT_EQ(session.view().markedRow(), -1);
    EXPECT_TRUE(session.frame().windowIcon().isNull());
    EXPECT_EQ(selectedRows(), std::vector<int>{5});
    EXPECT_TRUE(session.boxes.shown.empty());
}
