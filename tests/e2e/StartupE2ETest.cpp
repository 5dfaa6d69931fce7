// Start-up through to the window: the first-run catalogue, an existing catalogue left alone, and
// a catalogue that cannot be made.
#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "common/VeltaSettings.h"
#include "marqueta/publish/PageText.h"
#include "marqueta/ui/CRowListView.h"
#include "platform/TextMode.h"
#include "tests/e2e/DemoInstallation.h"
#include "tests/e2e/MarquetaSession.h"

namespace {

bool IsBannerId(const std::string& uid) {
    return uid.size() == 8 && uid.rfind("0000", 0) == 0 &&
           uid.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

}  // namespace

TEST(MarquetaStartup, FirstStartBuildsTheCatalogueFromTheImages) {
    DemoInstallation demo;
    for (const char* name : {"a.gif", "b.jpg", "readme"}) demo.writeImage(name);
    demo.writeFile("web/banners/images/sub/inner.gif", "inner");
    demo.writeFile("web/banners/old.htm", "old");
    demo.writeFile("web/banners/x.html", "x");
    demo.writeFile("web/banners/notes.txt", "notes");

    MarquetaSession session;
    ASSERT_TRUE(session.start());
    EXPECT_TRUE(session.boxes.shown.empty());

    const std::vector<Cells> lines = ReadCatalogue(demo.catalogue());
    ASSERT_EQ(lines.size(), 3u);
    ASSERT_EQ(session.rowCount(), 3);
    std::set<std::string> names;
    std::set<std::string> uids;
    std::vector<std::string> expectedImages;
    std::vector<std::string> expectedPages{"bannerfile.txt", "notes.txt"};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Cells& line = lines[i];
        EXPECT_EQ(session.row(static_cast<int>(i)), line) << "the list shows the file";
        ASSERT_EQ(line[Image].front(), '*');
        const std::string name = line[Image].substr(1);
        names.insert(name);
        const Cells placeholder{line[Image], "Company", "Product", "Sequence", "http://Url" + std::to_string(i + 1),
                                "1/1/1999",  "1/1/1999", "Rate",   line[Uid],  line[Ext]};
        EXPECT_EQ(line, placeholder);
        EXPECT_EQ(line[Ext], name == "a.gif" ? ".gif" : name == "b.jpg" ? ".jpg" : "") << name;
        EXPECT_TRUE(IsBannerId(line[Uid])) << line[Uid];
        uids.insert(line[Uid]);
        const std::string imageName = line[Uid] + line[Ext];
        EXPECT_EQ(ReadBytes(demo.imagesDir() + imageName), DemoInstallation::imageBytes(name)) << "renamed " << name;
        EXPECT_EQ(ReadBytes(demo.bannersDir() + line[Uid] + ".html"),
                  platform::ToCrLf(pageText(line[Url], imageName)));
        expectedImages.push_back(imageName);
        expectedPages.push_back(line[Uid] + ".html");
    }
    EXPECT_EQ(names, (std::set<std::string>{"a.gif", "b.jpg", "readme"}));
    EXPECT_EQ(uids.size(), 3u) << "every image has an id of its own";
    std::sort(expectedImages.begin(), expectedImages.end());
    std::sort(expectedPages.begin(), expectedPages.end());
    EXPECT_EQ(FilesIn(demo.imagesDir()), expectedImages);
    EXPECT_EQ(FilesIn(demo.bannersDir()), expectedPages) << "old.htm and x.html gone, notes.txt kept";
    EXPECT_EQ(ReadBytes(demo.imagesDir() + "sub/inner.gif"), "inner") << "a subfolder is no image";
    EXPECT_EQ(ReadVeltaSetting("BANNER", "DATAFILE"), demo.catalogue());
}

TEST(MarquetaStartup, AnExistingCatalogueChangesNothing) {
    const std::vector<std::vector<Cells>> catalogues{{}, {BannerRow(0x4A2F), BannerRow(0x1C07)}};
    for (const std::vector<Cells>& rows : catalogues) {
        DemoInstallation demo;
        demo.writeCatalogue(rows);
        demo.writeImage("a.gif");
        demo.writeImage("00004A2F.gif");
        demo.writeFile("web/banners/old.htm", "old");
        demo.writeFile("web/banners/00004A2F.html", "page");
        const auto before = Snapshot(demo.htmlPath());

        MarquetaSession session;
        ASSERT_TRUE(session.start());
        EXPECT_TRUE(session.boxes.shown.empty());
        EXPECT_EQ(Snapshot(demo.htmlPath()), before) << rows.size() << " rows";
        ASSERT_EQ(session.rowCount(), static_cast<int>(rows.size()));
        for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(session.row(static_cast<int>(i)), rows[i]);
    }
}

TEST(MarquetaStartup, ACatalogueTwoFoldersDownEndsStartUp) {
    DemoInstallation demo;
    const std::string dataFile = demo.bannersDir() + "one/two/bannerfile.txt";
    ASSERT_TRUE(WriteVeltaSetting("BANNER", "DATAFILE", dataFile));
    demo.writeImage("a.gif");
    demo.writeFile("web/banners/old.htm", "old");

    MarquetaSession session;
    EXPECT_FALSE(session.start());
    ASSERT_EQ(session.boxes.shown.size(), 1u);
    EXPECT_EQ(session.boxes.shown[0].text, "Could not create data file '" + dataFile + "'");
    EXPECT_EQ(session.boxes.shown[0].caption, "");
    EXPECT_EQ(session.boxes.shown[0].buttons, platform::Buttons::Ok);
    EXPECT_FALSE(Exists(dataFile));
    EXPECT_FALSE(Exists(demo.bannersDir() + "one")) << "only one folder level is made, and not this one";
    EXPECT_EQ(FilesIn(demo.imagesDir()), std::vector<std::string>{"a.gif"}) << "every image keeps its name";
    EXPECT_TRUE(Exists(demo.bannersDir() + "old.htm")) << "found out before any page goes";
}
