#include <filesystem>
#include <map>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "marqueta/bootstrap/Bootstrap.h"
#include "marqueta/catalogue/CatalogueFile.h"
#include "marqueta/publish/BannerId.h"
#include "marqueta/publish/PageText.h"
#include "platform/DirectorySearch.h"
#include "platform/FaultInjection.h"
#include "platform/FolderLock.h"
#include "platform/Paths.h"
#include "platform/Random.h"
#include "platform/TextMode.h"
#include "tests/catalogue/MarquetaInstallation.h"

namespace {

RowTable LoadRows(const std::string& path) {
    RowTable rows;
    std::ostringstream trace;
    loadCatalogue(rows, path, trace);
    return rows;
}

// Image file names in the order the file system lists them, as the bootstrap sees them.
std::vector<std::string> ListedImages(const MarquetaPaths& paths) {
    std::vector<std::string> names;
    for (const auto& entry : platform::FindEntries(paths.imagesDir + "*.*"))
        if (!entry.isDirectory) names.push_back(entry.name);
    return names;
}

}  // namespace

TEST(GenerateCatalogue, BuildsPlaceholderLinesRenamesImagesAndWritesPages) {
    MarquetaInstallation site;
    const std::map<std::string, std::string> images = {{"a.gif", "GIF"}, {"b.jpg", "JPEG"}, {"readme", "text"}};
    for (const auto& [name, bytes] : images) WriteBytes(site.imageFile(name), bytes);
    std::filesystem::create_directories(site.imageFile("sub.dir"));
    WriteBytes(site.bannerFile("old.htm"), "old");
    WriteBytes(site.bannerFile("x.html"), "x");
    WriteBytes(site.bannerFile("notes.txt"), "keep");
    std::filesystem::create_directories(site.bannerFile("archive.html"));

    const std::vector<std::string> order = ListedImages(site.paths);
    ASSERT_EQ(order.size(), 3u);
    platform::SeedRandom(2024);
    std::vector<std::string> ids;
    for (int i = 0; i < 3; ++i) ids.push_back(FormatBannerId(platform::NextRandom()));
    ASSERT_TRUE(ids[0] != ids[1] && ids[1] != ids[2] && ids[0] != ids[2]);

    platform::SeedRandom(2024);
    ASSERT_TRUE(generateCatalogue(site.paths, site.boxes));
    EXPECT_TRUE(site.boxes.shown.empty());

    std::string expectedCatalogue;
    std::vector<std::string> expectedImages, expectedPages = {"bannerfile.txt", "notes.txt"};
    for (std::size_t i = 0; i < order.size(); ++i) {
        const std::string& name = order[i];
        const std::string ext = name == "readme" ? "" : name.substr(1);
        const std::string url = "http://Url" + std::to_string(i + 1);
        expectedCatalogue += "*" + name + ",Company,Product,Sequence," + url + ",1/1/1999,1/1/1999,Rate," + ids[i] +
                             "," + ext + ",\r\n";
        EXPECT_EQ(ReadBytes(site.imageFile(ids[i] + ext)), images.at(name)) << name;
        EXPECT_EQ(ReadBytes(site.bannerFile(ids[i] + ".html")), platform::ToCrLf(pageText(url, ids[i] + ext)));
        EXPECT_EQ(ids[i].substr(0, 4), "0000");
        expectedImages.push_back(ids[i] + ext);
        expectedPages.push_back(ids[i] + ".html");
    }
    EXPECT_EQ(ReadBytes(site.paths.dataFilePath), expectedCatalogue);
    std::sort(expectedImages.begin(), expectedImages.end());
    std::sort(expectedPages.begin(), expectedPages.end());
    EXPECT_EQ(site.imageFileNames(), expectedImages);
    EXPECT_EQ(site.bannerFileNames(), expectedPages);
    EXPECT_TRUE(std::filesystem::is_directory(site.imageFile("sub.dir")));
    EXPECT_TRUE(std::filesystem::is_directory(site.bannerFile("archive.html")));
}

TEST(GenerateCatalogue, AnExistingCatalogueChangesNothing) {
    for (const std::string content : {"", "a.gif,Acme,Hammer,1,http://a/,1/1/1999,1/1/1999,1,00000001,.gif,\r\n"}) {
        MarquetaInstallation site;
        WriteBytes(site.paths.dataFilePath, content);
        WriteBytes(site.imageFile("a.gif"), "GIF");
        WriteBytes(site.bannerFile("old.htm"), "old");
        ASSERT_TRUE(generateCatalogue(site.paths, site.boxes));
        EXPECT_EQ(ReadBytes(site.paths.dataFilePath), content);
        EXPECT_EQ(site.imageFileNames(), std::vector<std::string>{"a.gif"});
        EXPECT_EQ(site.bannerFileNames(),
                  (std::vector<std::string>{"bannerfile.txt", "old.htm"}));
        EXPECT_TRUE(site.boxes.shown.empty());
    }
}

TEST(GenerateCatalogue, MissingImagesFolderGivesAnEmptyCatalogue) {
    MarquetaInstallation site;
    std::filesystem::remove(site.dir.file("web/banners/images"));
    ASSERT_TRUE(generateCatalogue(site.paths, site.boxes));
    EXPECT_TRUE(Exists(site.paths.dataFilePath));
    EXPECT_EQ(ReadBytes(site.paths.dataFilePath), "");
    EXPECT_TRUE(site.boxes.shown.empty());
}

TEST(GenerateCatalogue, CatalogueTwoLevelsBelowAnExistingFolderCannotBeCreated) {
    MarquetaInstallation site;
    site.paths.dataFilePath = site.dir.file("web/one/two/bannerfile.txt");
    WriteBytes(site.imageFile("a.gif"), "GIF");
    WriteBytes(site.bannerFile("old.html"), "old");

    EXPECT_FALSE(generateCatalogue(site.paths, site.boxes));
    EXPECT_EQ(site.boxes.texts(), std::vector<std::string>{"Could not create data file '" + site.paths.dataFilePath + "'"});
    EXPECT_EQ(site.boxes.shown.at(0).caption, "");
    // Found out before anything is touched: the old pages stay and the images keep their names.
    EXPECT_EQ(ReadBytes(site.bannerFile("old.html")), "old");
    EXPECT_EQ(site.imageFileNames(), std::vector<std::string>{"a.gif"});
    EXPECT_FALSE(Exists(site.dir.file("web/one")));
}

TEST(GenerateCatalogue, ACatalogueLineThatCannotBeWrittenRenamesNoImage) {
    MarquetaInstallation site;
    WriteBytes(site.imageFile("a.gif"), "GIF");
    platform::fault::FailAt(platform::fault::Step::Write, 1);  // the disk fills at the first line
    EXPECT_FALSE(generateCatalogue(site.paths, site.boxes));
    platform::fault::Reset();
    EXPECT_EQ(site.boxes.texts(), std::vector<std::string>{"Could not create data file '" + site.paths.dataFilePath + "'"});
    EXPECT_EQ(site.imageFileNames(), std::vector<std::string>{"a.gif"});
    EXPECT_FALSE(Exists(site.paths.dataFilePath));
}

TEST(GenerateCatalogue, APageThatCannotBeCreatedStopsAfterThatImage) {
    MarquetaInstallation site;
    // The catalogue lies elsewhere, and the banners folder is a file in the way of every page.
    site.paths.dataFilePath = site.dir.file("data/bannerfile.txt");
    site.paths.bannersDir = site.dir.file("blocked/");
    WriteBytes(site.dir.file("blocked"), "not a folder");
    WriteBytes(site.imageFile("a.gif"), "A");
    WriteBytes(site.imageFile("b.gif"), "B");
    const std::vector<std::string> order = ListedImages(site.paths);

    platform::SeedRandom(5);
    const std::string firstId = FormatBannerId(platform::NextRandom());
    platform::SeedRandom(5);
    EXPECT_FALSE(generateCatalogue(site.paths, site.boxes));
    EXPECT_EQ(site.boxes.texts(), std::vector<std::string>{"Cannot create HTML file " + site.paths.bannersDir + platform::kSepText +
                                                           firstId + ".html"});
    // The first image's line was written and it took its new name; the second is untouched.
    const RowTable rows = LoadRows(site.paths.dataFilePath);
    ASSERT_EQ(rows.count(), 1);
    EXPECT_EQ(rows.cell(0, Image), "*" + order[0]);
    EXPECT_EQ(rows.cell(0, Uid), firstId);
    EXPECT_EQ(site.imageFileNames(),
              (std::vector<std::string>{firstId + ".gif", order[1]}));
}

TEST(GenerateCatalogue, IdsAreDrawnAgainUntilTheImageAndPageNamesAreFree) {
    MarquetaInstallation site;
    platform::SeedRandom(77);
    const std::string firstDraw = FormatBannerId(platform::NextRandom());
    // An image already named like the first draw, beside one to be named.
    WriteBytes(site.imageFile(firstDraw + ".gif"), "first");
    WriteBytes(site.imageFile("logo.gif"), "logo");

    platform::SeedRandom(77);
    ASSERT_TRUE(generateCatalogue(site.paths, site.boxes));
    const RowTable rows = LoadRows(site.paths.dataFilePath);
    ASSERT_EQ(rows.count(), 2);
    EXPECT_NE(rows.cell(0, Uid), rows.cell(1, Uid));
    std::vector<std::string> expectedImages;
    for (int i = 0; i < 2; ++i) {
        const std::string original = rows.cell(i, Image).substr(1);
        EXPECT_NE(rows.cell(i, Uid), firstDraw);
        EXPECT_EQ(ReadBytes(site.imageFile(rows.cell(i, Uid) + ".gif")), original == "logo.gif" ? "logo" : "first");
        EXPECT_TRUE(Exists(site.bannerFile(rows.cell(i, Uid) + ".html")));
        expectedImages.push_back(rows.cell(i, Uid) + ".gif");
    }
    std::sort(expectedImages.begin(), expectedImages.end());
    EXPECT_EQ(site.imageFileNames(), expectedImages);
}

// A record of pending renames that is not the one written for this catalogue (by hand, restored
// from a backup, or left by a first run whose catalogue was saved since) moves no image and drops
// no row: another banner's image keeps its name, and the record goes.
TEST(GenerateCatalogue, ARenamingRecordOfAnotherCatalogueMovesNoImage) {
    const std::string placeholder = "*logo.gif,Company,Product,Sequence,http://Url1,1/1/1999,1/1/1999,Rate,1234abcd,.gif,\r\n";
    const std::string acme = "logo.gif,Acme,Shoes,1,http://acme,1/1/2027,12/31/2027,5,logo,.gif,\r\n";
    const std::string gone = "*gone.gif,Company,Product,Sequence,http://Url2,1/1/1999,1/1/1999,Rate,5678abcd,.gif,\r\n";
    for (const std::string& record : std::vector<std::string>{"restored from a backup",
          "Marqueta is giving the images named in the catalogue beside this file their new names.\r\n",
          "Marqueta is giving the images named in the catalogue beside this file their new names.\r\nCatalogue: " +
              std::to_string(CatalogueHash(placeholder + gone)) + "\r\n"}) {
        MarquetaInstallation site;
        WriteBytes(site.paths.dataFilePath, placeholder + acme + gone);
        WriteBytes(site.imageFile("logo.gif"), "ACME");
        WriteBytes(site.bannerFile("5678abcd.html"), "page");
        WriteBytes(site.paths.dataFilePath + ".renaming", record);
        EXPECT_TRUE(generateCatalogue(site.paths, site.boxes));
        EXPECT_EQ(ReadBytes(site.paths.dataFilePath), placeholder + acme + gone);
        EXPECT_EQ(site.imageFileNames(), std::vector<std::string>{"logo.gif"});
        EXPECT_EQ(site.bannerFileNames(), (std::vector<std::string>{"5678abcd.html", "bannerfile.txt"}));
        EXPECT_FALSE(std::filesystem::exists(site.paths.dataFilePath + ".renaming"));
        EXPECT_TRUE(site.boxes.shown.empty());
    }
}

// A first start while another is building the catalogue waits for it, then finds its catalogue
// and renames nothing: the images the other one named keep the names its catalogue gives them.
TEST(GenerateCatalogue, ASecondFirstStartWaitsForTheFirst) {
    MarquetaInstallation site;
    WriteBytes(site.imageFile("a.gif"), "GIF");
    const std::string first = "a.gif,Acme,Hammer,1,http://a/,1/1/1999,1/1/1999,1,a,.gif,\r\n";
    bool generated = false;
    std::thread second;
    {
        const platform::FolderLock firstStart(platform::DirectoryOf(site.paths.dataFilePath),
                                              platform::FolderLock::Wait::No);
        ASSERT_EQ(firstStart.state(), platform::FolderLock::State::Held);
        second = std::thread([&] { generated = generateCatalogue(site.paths, site.boxes); });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        WriteBytes(site.paths.dataFilePath, first);
    }
    second.join();
    EXPECT_TRUE(generated);
    EXPECT_EQ(ReadBytes(site.paths.dataFilePath), first);
    EXPECT_EQ(site.imageFileNames(), std::vector<std::string>{"a.gif"});
    EXPECT_TRUE(site.boxes.shown.empty());
}
