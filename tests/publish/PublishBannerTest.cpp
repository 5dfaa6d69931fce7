#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "marqueta/publish/BannerId.h"
#include "marqueta/publish/PageText.h"
#include "marqueta/publish/PublishBanner.h"
#include "platform/Paths.h"
#include "platform/Random.h"
#include "platform/TextMode.h"
#include "tests/catalogue/MarquetaInstallation.h"
#include "tests/support/Portable.h"

namespace {

using platform::kSep;

constexpr unsigned kSeed = 31337;

// The id the generator gives first after kSeed.
std::string FirstDrawnId() {
    platform::SeedRandom(kSeed);
    return FormatBannerId(platform::NextRandom());
}

BannerEdit EditOfRow(const RowTable& rows, int row) {
    BannerEdit edit;
    edit.values = BannerRecord::fromCells(rows.row(row).cells);
    edit.loadedUrl = rows.cell(row, Url);
    return edit;
}

BannerEdit NewBanner(const std::string& url, const std::string& sourceImagePath, const std::string& ext) {
    BannerEdit edit;
    edit.values = BannerRecord::fromCells(SampleCells("", ext, url));
    edit.sourceImagePath = sourceImagePath;
    return edit;
}

std::string Report(const std::string& sourceImage, const std::string& targetImage, const std::string& sourcePage,
                   const std::string& targetPage) {
    return "Created the following banner:\n  Source Image: " + sourceImage + "\n  Target Image: " + targetImage +
           "\n  Source Html:  " + sourcePage + "\n  Target Html:  " + targetPage + "\n";
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

// Every file of the banners and images folders with its content.
std::map<std::string, std::string> FilesWithBytes(const MarquetaInstallation& site) {
    std::map<std::string, std::string> files;
    for (const std::string& name : site.bannerFileNames())
        files[site.bannerFile(name)] = ReadBytes(site.bannerFile(name));
    for (const std::string& name : site.imageFileNames())
        files[site.imageFile(name)] = ReadBytes(site.imageFile(name));
    return files;
}

std::string Page(const std::string& url, const std::string& imageName) {
    return platform::ToCrLf(pageText(url, imageName));
}

class PublishBannerTest : public ::testing::Test {
protected:
    void SetUp() override {
        newId = FirstDrawnId();
        ASSERT_NE(newId, "00004A2F");
        site.addPublishedBanner(SampleCells("00004A2F", ".gif", "http://acme.example/tools"), "GIF89a-acme");
    }

    bool Publish(int row, BannerEdit& edit) {
        platform::SeedRandom(kSeed);
        return PublishBanner(row, edit, site.context);
    }

    MarquetaInstallation site;
    std::string newId;
};

}  // namespace

TEST_F(PublishBannerTest, OnlyTheCompanyChangedKeepsIdAndFiles) {
    BannerEdit edit = EditOfRow(site.rows, 0);
    edit.values.company = "Acme Hardware";
    ASSERT_TRUE(Publish(0, edit));

    EXPECT_TRUE(site.boxes.shown.empty());
    EXPECT_EQ(site.rows.cell(0, Company), "Acme Hardware");
    EXPECT_EQ(site.rows.cell(0, Uid), "00004A2F");
    EXPECT_EQ(site.imageFileNames(), std::vector<std::string>{"00004A2F.gif"});
    EXPECT_EQ(ReadBytes(site.bannerFile("00004A2F.html")), Page("http://acme.example/tools", "00004A2F.gif"));
    EXPECT_EQ(ReadBytes(site.paths.dataFilePath), platform::ToCrLf(catalogueLine(site.rows.row(0).cells)));
    EXPECT_EQ(site.status.messages.back(), "Done");
}

TEST_F(PublishBannerTest, OnlyTheLetterCaseOfTheLinkChangedCountsAsNoChange) {
    BannerEdit edit = EditOfRow(site.rows, 0);
    edit.values.url = "HTTP://ACME.EXAMPLE/Tools";
    ASSERT_TRUE(Publish(0, edit));

    EXPECT_TRUE(site.boxes.shown.empty());
    EXPECT_EQ(site.rows.cell(0, Uid), "00004A2F");
    EXPECT_EQ(site.rows.cell(0, Url), "HTTP://ACME.EXAMPLE/Tools");
    EXPECT_EQ(ReadBytes(site.bannerFile("00004A2F.html")), Page("http://acme.example/tools", "00004A2F.gif"));
    EXPECT_NE(ReadBytes(site.paths.dataFilePath).find("HTTP://ACME.EXAMPLE/Tools"), std::string::npos);
}

TEST_F(PublishBannerTest, AChangedLinkRepublishesUnderANewId) {
    BannerEdit edit = EditOfRow(site.rows, 0);
    edit.values.url = "http://acme.example/sale%20now";
    ASSERT_TRUE(Publish(0, edit));

    const std::string images = site.paths.imagesDir, banners = site.paths.bannersDir;
    EXPECT_EQ(site.boxes.texts(), std::vector<std::string>{Report(images + kSep + "00004A2F.gif", images + kSep + newId + ".gif",
                                                                  banners + kSep + "00004A2F.html", banners + kSep + newId + ".html")});
    EXPECT_EQ(site.boxes.shown.at(0).caption, "");
    EXPECT_EQ(site.imageFileNames(), std::vector<std::string>{newId + ".gif"});
    EXPECT_EQ(ReadBytes(site.imageFile(newId + ".gif")), "GIF89a-acme");
    EXPECT_EQ(site.bannerFileNames(), Sorted({newId + ".html", "bannerfile.txt"}));
    EXPECT_EQ(ReadBytes(site.bannerFile(newId + ".html")), Page("http://acme.example/sale%20now", newId + ".gif"));
    EXPECT_EQ(site.rows.cell(0, Uid), newId);
    EXPECT_EQ(site.rows.cell(0, Url), "http://acme.example/sale%20now");
    EXPECT_EQ(ReadBytes(site.paths.dataFilePath), platform::ToCrLf(catalogueLine(site.rows.row(0).cells)));
}

TEST_F(PublishBannerTest, ANewBannerWithoutAnImageFailsWithTheCopyMessage) {
    BannerEdit edit = NewBanner("http://bolt.example/", "", "");
    EXPECT_FALSE(Publish(-1, edit));

    ASSERT_EQ(site.boxes.shown.size(), 1u);
    const std::string expected = "Could not copy file " + site.paths.imagesDir + kSep + " to " + site.paths.imagesDir + kSep +
                                 newId + ". Reason: ";
    EXPECT_EQ(site.boxes.shown[0].text.substr(0, expected.size()), expected);
    EXPECT_GT(site.boxes.shown[0].text.size(), expected.size());  // the system's reason follows
    EXPECT_EQ(site.rows.count(), 1);
    EXPECT_FALSE(Exists(site.paths.dataFilePath));
    EXPECT_EQ(site.imageFileNames(), std::vector<std::string>{"00004A2F.gif"});
    EXPECT_EQ(site.bannerFileNames(), std::vector<std::string>{"00004A2F.html"});
}

TEST_F(PublishBannerTest, ANewBannerWithAnImageFromAnotherFolderIsCopiedAndAppended) {
    std::filesystem::create_directories(site.dir.file("pictures"));
    const std::string chosen = site.dir.file("pictures/bolt.jpg");
    WriteBytes(chosen, "JFIF-bolt");
    BannerEdit edit = NewBanner("http://bolt.example/", chosen, ".jpg");
    ASSERT_TRUE(Publish(-1, edit));

    EXPECT_EQ(ReadBytes(chosen), "JFIF-bolt");
    EXPECT_EQ(ReadBytes(site.imageFile(newId + ".jpg")), "JFIF-bolt");
    EXPECT_EQ(ReadBytes(site.bannerFile(newId + ".html")), Page("http://bolt.example/", newId + ".jpg"));
    const std::string banners = site.paths.bannersDir;
    EXPECT_EQ(site.boxes.texts(), std::vector<std::string>{Report(chosen, site.paths.imagesDir + kSep + newId + ".jpg",
                                                                  banners + kSep + ".html", banners + kSep + newId + ".html")});
    ASSERT_EQ(site.rows.count(), 2);
    EXPECT_EQ(site.rows.cell(1, Uid), newId);
    EXPECT_EQ(site.rows.cell(1, Ext), ".jpg");
    EXPECT_NE(site.rows.row(1).tag, site.rows.row(0).tag);
    EXPECT_EQ(site.imageFileNames(), Sorted({"00004A2F.gif", newId + ".jpg"}));
}

TEST_F(PublishBannerTest, AnImageChosenInsideTheImagesFolderIsMovedUnlessAnotherRowShowsIt) {
    site.addPublishedBanner(SampleCells("00001111", ".png", "http://nut.example/"), "PNG-nut");
    WriteBytes(site.imageFile("incoming.gif"), "GIF-incoming");

    // A loose file in the images folder is moved.
    BannerEdit moved = NewBanner("http://new.example/", site.paths.imagesDir + "incoming.gif", ".gif");
    ASSERT_TRUE(Publish(-1, moved));
    EXPECT_FALSE(Exists(site.imageFile("incoming.gif")));
    EXPECT_EQ(ReadBytes(site.imageFile(newId + ".gif")), "GIF-incoming");

    // The image of banner 00004A2F, chosen for banner 00001111, stays with its banner.
    platform::SeedRandom(kSeed);
    platform::NextRandom();
    const std::string secondId = FormatBannerId(platform::NextRandom());
    BannerEdit copied = EditOfRow(site.rows, 1);
    copied.sourceImagePath = site.paths.imagesDir + "00004A2F.gif";
    copied.values.ext = ".gif";
    ASSERT_TRUE(Publish(1, copied));  // newId is taken now: the next draw is used
    EXPECT_EQ(site.rows.cell(1, Uid), secondId);
    EXPECT_EQ(ReadBytes(site.imageFile("00004A2F.gif")), "GIF89a-acme");
    EXPECT_EQ(ReadBytes(site.imageFile(secondId + ".gif")), "GIF89a-acme");
    EXPECT_FALSE(Exists(site.imageFile("00001111.png")));
    EXPECT_FALSE(Exists(site.bannerFile("00001111.html")));
    EXPECT_TRUE(Exists(site.bannerFile("00004A2F.html")));
}

// "Inside the images folder" is the folder itself, not its name compared without regard to case.
TEST(PublishBanner, APictureIsMovedOnlyFromTheImagesFolderItself) {
    SKIP_ON_WINDOWS("folders that differ only in case, and symbolic links");
    struct Case {
        const char* chosenFolder;  // under banners/, with its trailing separator
        bool moved;
    };
    for (const Case c : {Case{"images/", true}, Case{"Images/", false}, Case{"IMAGES/", false},
                         Case{"linked/", true}, Case{"images/../images/", true}}) {
        MarquetaInstallation site;
        std::filesystem::create_directories(site.bannerFile("Images"));
        std::filesystem::create_directories(site.bannerFile("IMAGES"));
        std::filesystem::create_directory_symlink("images", site.bannerFile("linked"));
        const std::string chosen = site.bannerFile(std::string(c.chosenFolder) + "bolt.gif");
        WriteBytes(chosen, "GIF-bolt");
        const std::string newId = FirstDrawnId();
        platform::SeedRandom(kSeed);
        ASSERT_TRUE(PublishBanner(-1, NewBanner("http://bolt.example/", chosen, ".gif"), site.context)) << c.chosenFolder;
        EXPECT_EQ(ReadBytes(site.imageFile(newId + ".gif")), "GIF-bolt") << c.chosenFolder;
        EXPECT_EQ(Exists(chosen), !c.moved) << c.chosenFolder;
    }
}

TEST_F(PublishBannerTest, ANewImageWithAnotherExtensionLeavesNoOrphan) {
    std::filesystem::create_directories(site.dir.file("pictures"));
    WriteBytes(site.dir.file("pictures/new.jpg"), "JFIF-new");
    BannerEdit edit = EditOfRow(site.rows, 0);
    edit.sourceImagePath = site.dir.file("pictures/new.jpg");
    edit.values.ext = ".jpg";
    ASSERT_TRUE(Publish(0, edit));

    EXPECT_EQ(site.imageFileNames(), std::vector<std::string>{newId + ".jpg"});
    EXPECT_EQ(site.bannerFileNames(), Sorted({newId + ".html", "bannerfile.txt"}));
    EXPECT_EQ(site.rows.cell(0, Ext), ".jpg");
    EXPECT_EQ(site.rows.cell(0, Uid), newId);
}

TEST_F(PublishBannerTest, ATakenIdIsDrawnAgain) {
    platform::SeedRandom(kSeed);
    platform::NextRandom();
    const std::string secondId = FormatBannerId(platform::NextRandom());
    ASSERT_NE(secondId, newId);

    struct Case {
        const char* how;
        std::function<void(MarquetaInstallation&)> take;
    };
    const std::vector<Case> cases = {
        {"a row carries it", [&](MarquetaInstallation& s) { s.addRow(SampleCells(newId, ".png")); }},
        {"an image with another extension", [&](MarquetaInstallation& s) { WriteBytes(s.imageFile(newId + ".png"), "x"); }},
        {"an image without extension", [&](MarquetaInstallation& s) { WriteBytes(s.imageFile(newId), "x"); }},
        {"a page", [&](MarquetaInstallation& s) { WriteBytes(s.bannerFile(newId + ".html"), "x"); }},
    };
    for (const Case& c : cases) {
        MarquetaInstallation other;
        c.take(other);
        const std::map<std::string, std::string> before = FilesWithBytes(other);
        WriteBytes(other.dir.file("logo.gif"), "GIF-logo");
        BannerEdit edit = NewBanner("http://logo.example/", other.dir.file("logo.gif"), ".gif");
        platform::SeedRandom(kSeed);
        ASSERT_TRUE(PublishBanner(-1, edit, other.context)) << c.how;
        EXPECT_EQ(other.rows.cell(other.rows.count() - 1, Uid), secondId) << c.how;
        EXPECT_EQ(ReadBytes(other.imageFile(secondId + ".gif")), "GIF-logo") << c.how;
        for (const auto& [path, bytes] : before) EXPECT_EQ(ReadBytes(path), bytes) << c.how << ": " << path;
    }
}

TEST_F(PublishBannerTest, APageThatCannotBeWrittenKeepsTheCopiedImageOnly) {
    site.paths.bannersDir = site.dir.file("blocked/");
    WriteBytes(site.dir.file("blocked"), "a file where the folder should be");
    BannerEdit edit = EditOfRow(site.rows, 0);
    edit.values.url = "http://acme.example/other";
    EXPECT_FALSE(Publish(0, edit));

    EXPECT_EQ(site.boxes.texts(),
              std::vector<std::string>{"Cannot open HTML file '" + site.paths.bannersDir + kSep + newId + ".html'"});
    EXPECT_EQ(site.imageFileNames(), Sorted({"00004A2F.gif", newId + ".gif"}));
    EXPECT_EQ(site.rows.cell(0, Uid), "00004A2F");
    EXPECT_EQ(site.rows.cell(0, Url), "http://acme.example/tools");
    EXPECT_FALSE(Exists(site.paths.dataFilePath));
}

TEST_F(PublishBannerTest, AFailedSaveStillCountsAsWritten) {
    site.paths.dataFilePath = site.dir.file("no/such/folder/bannerfile.txt");
    BannerEdit edit = EditOfRow(site.rows, 0);
    edit.values.rate = "0.75";
    EXPECT_TRUE(Publish(0, edit));
    EXPECT_EQ(site.rows.cell(0, Rate), "0.75");
    EXPECT_EQ(site.boxes.texts(), std::vector<std::string>{"Unable to save file " + site.paths.dataFilePath});
}
