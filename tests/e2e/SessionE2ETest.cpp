// A whole working session: banners added and changed, the list sorted and saved, the program
// started again on the same installation.
#include <algorithm>

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <gtest/gtest.h>

#include "common/Atol.h"
#include "common/VeltaSettings.h"
#include "marqueta/publish/PageText.h"
#include "marqueta/ui/CBannerEditorDlg.h"
#include "marqueta/ui/CRowListView.h"
#include "marqueta/ui/FileDialogHook.h"
#include "platform/Paths.h"
#include "platform/TextMode.h"
#include "tests/e2e/DemoInstallation.h"
#include "tests/e2e/MarquetaSession.h"
#include "tests/support/Named.h"

namespace {

// Adds a banner through the tool bar with an image from outside the installation.
void AddBanner(MarquetaSession& session, const std::string& image, const std::string& company,
               const std::string& sequence, const std::string& url) {
    session.whenEditorOpens([&](CBannerEditorDlg& editor) {
        SetNextChosenImageFile(image);
        PressButton(editor, "browsePushButton");
        TypeInto(editor, "companyLineEdit", company);
        TypeInto(editor, "productLineEdit", "Product of " + company);
        TypeInto(editor, "sequenceLineEdit", sequence);
        TypeInto(editor, "urlLineEdit", url);
        PressButton(editor, "submitPushButton");
    });
    session.press(Named<QAction>(session.frame(), "addAction"));
    ASSERT_TRUE(session.editorOpened());
}

int FindCompany(const MarquetaSession& session, const std::string& company) {
    for (int i = 0; i < session.rowCount(); ++i)
        if (session.row(i)[Company] == company) return i;
    return -1;
}

std::vector<Cells> AllRows(const MarquetaSession& session) {
    std::vector<Cells> rows;
    for (int i = 0; i < session.rowCount(); ++i) rows.push_back(session.row(i));
    return rows;
}

// Every row has its image and its page, the page names the row's link and image, and no other
// image or page is left.
void ExpectFilesMatchRows(const DemoInstallation& demo, const std::vector<Cells>& rows) {
    std::vector<std::string> images;
    std::vector<std::string> pages{"bannerfile.txt"};
    for (const Cells& row : rows) {
        images.push_back(row[Uid] + row[Ext]);
        pages.push_back(row[Uid] + ".html");
        EXPECT_EQ(ReadBytes(demo.bannersDir() + row[Uid] + ".html"),
                  platform::ToCrLf(pageText(row[Url], row[Uid] + row[Ext])))
            << row[Company];
    }
    std::sort(images.begin(), images.end());
    std::sort(pages.begin(), pages.end());
    EXPECT_EQ(FilesIn(demo.imagesDir()), images);
    EXPECT_EQ(FilesIn(demo.bannersDir()), pages);
}

}  // namespace

TEST(MarquetaSessionE2E, AddChangeSortSaveAndStartAgain) {
    DemoInstallation demo;
    demo.writeImage("first.gif");
    demo.writeImage("second.jpg");
    const std::string summer = demo.writeFile("pictures/summer.gif", "GIF summer");
    const std::string winter = demo.writeFile("pictures/winter.png", "PNG winter");

    std::vector<Cells> sorted;
    {
        MarquetaSession session(1001);
        ASSERT_TRUE(session.start());
        ASSERT_EQ(session.rowCount(), 2) << "the first start made two placeholder rows";
        AddBanner(session, summer, "Summer", "7", "http://summer.example/");
        AddBanner(session, winter, "Winter", "3", "http://winter.example/");
        ASSERT_EQ(session.rowCount(), 4);

        // Change the summer banner's link: a new id, the old files gone.
        const int summerRow = FindCompany(session, "Summer");
        ASSERT_EQ(summerRow, 2);
        const std::string oldUid = session.row(summerRow)[Uid];
        session.clickRow(summerRow);
        session.whenEditorOpens([&](CBannerEditorDlg& editor) {
            EXPECT_EQ(FieldText(editor, "urlLineEdit"), "http://summer.example/");
            TypeInto(editor, "urlLineEdit", "http://summer.example/sale");
            PressButton(editor, "submitPushButton");
        });
        session.press(Named<QAction>(session.frame(), "modifyAction"));
        ASSERT_TRUE(session.editorOpened());
        const Cells changed = session.row(summerRow);
        EXPECT_EQ(changed[Url], "http://summer.example/sale");
        EXPECT_NE(changed[Uid], oldUid);
        EXPECT_FALSE(Exists(demo.imagesDir() + oldUid + ".gif"));
        EXPECT_FALSE(Exists(demo.bannersDir() + oldUid + ".html"));
        EXPECT_EQ(ReadBytes(demo.imagesDir() + changed[Uid] + ".gif"), "GIF summer");

        // Sort by "Sequence": the placeholders (no number, so 0) first, then 3, then 7.
        session.clickHeading(Sequence);
        sorted = AllRows(session);
        std::vector<long> sequences;
        for (const Cells& row : sorted) sequences.push_back(AtolLike(row[Sequence]));
        EXPECT_EQ(sequences, (std::vector<long>{0, 0, 3, 7}));
        EXPECT_EQ(sorted[2][Company], "Winter");
        EXPECT_EQ(sorted[3][Company], "Summer");

        session.press(Named<QAction>(session.frame(), "saveAction"));
        EXPECT_EQ(ReadCatalogue(demo.catalogue()), sorted);
        EXPECT_EQ(Named<QLabel>(session.frame(), "messagePaneLabel")->text(), QStringLiteral("Done"));
        EXPECT_EQ(ReadVeltaSetting("BANNER", "LASTBROWSEDIR"), platform::DirectoryOf(winter))
            << "the folder of the last image chosen";
        EXPECT_EQ(session.boxes.texts().size(), 3u) << "a report for each banner published";
    }

    MarquetaSession again(2002);
    ASSERT_TRUE(again.start());
    EXPECT_TRUE(again.boxes.shown.empty());
    EXPECT_EQ(again.app.catalogue.paths().lastBrowseDir, platform::DirectoryOf(winter))
        << "Browse opens there next time";
    EXPECT_EQ(AllRows(again), sorted) << "the same rows, in the sorted order";
    ExpectFilesMatchRows(demo, sorted);
    EXPECT_EQ(ReadBytes(summer), "GIF summer") << "images chosen from elsewhere stay";
    EXPECT_EQ(ReadBytes(winter), "PNG winter");
}
