#include <filesystem>

#include <gtest/gtest.h>

#include "marqueta/publish/DeleteBanner.h"
#include "marqueta/publish/PublishBanner.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"
#include "tests/support/Portable.h"
#include "tests/catalogue/MarquetaInstallation.h"

namespace {

using platform::Answer;

// Seven banners, 00000001 to 00000007, each with its image and page.
void AddSevenBanners(MarquetaInstallation& site) {
    for (int i = 1; i <= 7; ++i) site.addPublishedBanner(SampleCells("0000000" + std::to_string(i), ".gif"));
}

std::vector<std::string> Uids(const RowTable& rows) {
    std::vector<std::string> uids;
    for (int i = 0; i < rows.count(); ++i) uids.push_back(rows.cell(i, Uid));
    return uids;
}

std::vector<std::string> AllFiles(const MarquetaInstallation& site) {
    std::vector<std::string> files = site.bannerFileNames();
    for (const std::string& name : site.imageFileNames())
        files.push_back("images/" + name);
    return files;
}

}  // namespace

TEST(DeleteSelectedBanner, WithoutASelectionOnlyAsksForOne) {
    MarquetaInstallation site;
    AddSevenBanners(site);
    DeleteSelectedBanner(site.context, -1);
    EXPECT_EQ(site.boxes.texts(), std::vector<std::string>{"Please select a row item to delete"});
    EXPECT_EQ(site.boxes.shown.at(0).buttons, platform::Buttons::Ok);
    EXPECT_EQ(site.rows.count(), 7);
    EXPECT_FALSE(Exists(site.paths.dataFilePath));
    EXPECT_TRUE(site.status.messages.empty());
}

TEST(DeleteSelectedBanner, YesRemovesTheFirstSelectedRowWithItsPagesAndImages) {
    MarquetaInstallation site;
    AddSevenBanners(site);
    // More files of banner 00000002 under other extensions, a folder it names, and a look-alike.
    WriteBytes(site.bannerFile("00000002.htm"), "old page");
    WriteBytes(site.imageFile("00000002.jpg"), "older image");
    WriteBytes(site.imageFile("00000002"), "bare");
    std::filesystem::create_directories(site.imageFile("00000002.d"));
    WriteBytes(site.imageFile("000000021.gif"), "another banner");
    site.boxes.answers = {Answer::Yes};

    DeleteSelectedBanner(site.context, 1);  // rows 2, 5 and 7 selected: the first is position 1

    ASSERT_EQ(site.boxes.shown.size(), 1u);
    EXPECT_EQ(site.boxes.shown[0].text, "Are you sure you want to delete row 2?\n\nBanner: logo.gif");
    EXPECT_EQ(site.boxes.shown[0].caption, "");
    EXPECT_EQ(site.boxes.shown[0].buttons, platform::Buttons::YesNo);
    EXPECT_EQ(Uids(site.rows),
              (std::vector<std::string>{"00000001", "00000003", "00000004", "00000005", "00000006", "00000007"}));
    for (const char* gone : {"00000002.html", "00000002.htm"}) EXPECT_FALSE(Exists(site.bannerFile(gone))) << gone;
    for (const char* gone : {"00000002.gif", "00000002.jpg", "00000002"}) EXPECT_FALSE(Exists(site.imageFile(gone))) << gone;
    EXPECT_TRUE(std::filesystem::is_directory(site.imageFile("00000002.d")));
    EXPECT_TRUE(Exists(site.imageFile("000000021.gif")));
    for (const char* kept : {"00000001", "00000003", "00000007"}) {
        EXPECT_TRUE(Exists(site.bannerFile(std::string(kept) + ".html"))) << kept;
        EXPECT_TRUE(Exists(site.imageFile(std::string(kept) + ".gif"))) << kept;
    }
    const std::string saved = ReadBytes(site.paths.dataFilePath);
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 6);
    EXPECT_EQ(saved.find("00000002"), std::string::npos);
    EXPECT_EQ(site.status.messages.back(), "Done");
}

TEST(DeleteSelectedBanner, FirstRowIsRowOneAndNoRemovesNothingButSaves) {
    for (const Answer answer : {Answer::No, Answer::Failed}) {
        MarquetaInstallation site;
        AddSevenBanners(site);
        const std::vector<std::string> files = AllFiles(site);
        site.boxes.answers = {answer};
        DeleteSelectedBanner(site.context, 0);
        EXPECT_EQ(site.boxes.texts(), std::vector<std::string>{"Are you sure you want to delete row 1?\n\nBanner: logo.gif"});
        EXPECT_EQ(site.rows.count(), 7);
        EXPECT_EQ(AllFiles(site).size(), files.size() + 1);  // the catalogue file is new
        const std::string saved = ReadBytes(site.paths.dataFilePath);
        EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 7);
        EXPECT_EQ(site.status.messages.back(), "Done");
    }
}

// Files go for every id a name can be built from; only wildcards, separators and ".." keep them.
TEST(DeleteSelectedBanner, RemovesTheFilesOfEveryIdThatCanNameThemAndSaysWhenTheyAreKept) {
    struct Case {
        std::string uid;
        bool namesFiles;
    };
    const Case cases[] = {
        {"00004A2F", true}, {"00004a2f", true}, {"banner-1", true}, {"a.b", true},      {"0000000", true},
        {"000000001", true}, {"00004A2G", true}, {"My Banner", true}, {"", false},       {"*", false},
        {"0000*", false},    {"?0000001", false}, {"a<b", false},   {"a>b", false},     {"a\"b", false},
        {"..", false},       {"a..b", false},    {"../banners/00000001", false},        {"a/b", false},
        {"a\\b", false},     {"C:x", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(canNameBannerFiles(c.uid), c.namesFiles) << c.uid;
        MarquetaInstallation site;
        AddSevenBanners(site);
        site.addRow(SampleCells(c.uid, ".gif"));
        if (c.namesFiles) {  // the banner's own files, beside every other banner's
            WriteBytes(site.bannerFile(c.uid + ".html"), "page");
            WriteBytes(site.imageFile(c.uid + ".gif"), "image");
        }
        const std::vector<std::string> others = AllFiles(site);
        site.boxes.answers = {Answer::Yes};
        DeleteSelectedBanner(site.context, 7);
        EXPECT_EQ(site.rows.count(), 7) << c.uid;
        std::vector<std::string> after = AllFiles(site);
        after.erase(std::find(after.begin(), after.end(), "bannerfile.txt"));
        std::vector<std::string> expected = others;
        std::vector<std::string> texts = {"Are you sure you want to delete row 8?\n\nBanner: logo.gif"};
        if (c.namesFiles) {
            std::erase(expected, c.uid + ".html");
            std::erase(expected, "images/" + c.uid + ".gif");
        } else {
            texts.push_back("The banner's image and page were kept: its UID \"" + c.uid + "\" cannot name a file safely.");
        }
        EXPECT_EQ(after, expected) << c.uid;
        EXPECT_EQ(site.boxes.texts(), texts) << c.uid;
    }
}

// A web folder that refuses removals (read-only files here: root removes from a read-only folder).
TEST(DeleteSelectedBanner, FilesThatCannotBeRemovedAreNamed) {
    SKIP_ON_WINDOWS("POSIX permission bits; Windows has a read-only attribute instead");
    MarquetaInstallation site;
    AddSevenBanners(site);
    for (const std::string& file : {site.bannerFile("00000003.html"), site.imageFile("00000003.gif")})
        std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    site.rows.setCell(2, Image, "");  // a banner without a name is asked about by its row alone
    site.boxes.answers = {Answer::Yes};
    DeleteSelectedBanner(site.context, 2);
    EXPECT_EQ(site.rows.count(), 6);
    const std::string reason = platform::SystemErrorText(EACCES);
    EXPECT_EQ(site.boxes.texts(),
              (std::vector<std::string>{
                  "Are you sure you want to delete row 3?",
                  "The banner was deleted from the list, but these of its files could not be removed:\n  " +
                      site.paths.bannersDir + platform::kSepText + "00000003.html (" + reason + ")\n  " +
                      site.paths.imagesDir + platform::kSepText + "00000003.gif (" + reason + ")\n"}));
    EXPECT_TRUE(Exists(site.bannerFile("00000003.html")));
    EXPECT_TRUE(Exists(site.imageFile("00000003.gif")));
}

TEST(IsWellFormedBannerId, AcceptsOnlyEightHexadecimalDigits) {
    struct Case {
        const char* uid;
        bool wellFormed;
    };
    for (const Case c : {Case{"00004A2F", true}, Case{"00004a2f", true}, Case{"banner-1", false}, Case{"a.b", false},
                         Case{"", false}, Case{"0000?A2F", false}, Case{"0000000", false}, Case{"000000001", false},
                         Case{"0000/A2F", false}, Case{"00004A2G", false}})
        EXPECT_EQ(isWellFormedBannerId(c.uid), c.wellFormed) << c.uid;
}

TEST(BannerIds, AnIdTakenByARowItsImageAndItsPageCountsOnce) {
    BannerIdSet used;
    for (int n = 0; n < platform::kRandMax; ++n) {  // every id but the last, three times over
        used.take(FormatBannerId(n));
        used.takeFileName(FormatBannerId(n) + ".gif");
        used.takeFileName(FormatBannerId(n) + ".html");
    }
    EXPECT_EQ(used.drawFree(), FormatBannerId(platform::kRandMax));
    used.take(FormatBannerId(platform::kRandMax));
    EXPECT_EQ(used.drawFree(), std::nullopt);
}
