#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "marqueta/app/Startup.h"
#include "marqueta/publish/BannerId.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"
#include "platform/Random.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

namespace {

using platform::kSep;

// A Windows folder (WINDIR) and a web folder, nothing else.
class StartupTest : public ::testing::Test {
public:
    StartupTest() : windir("WINDIR", dir.file("windows")) {
        std::filesystem::create_directories(dir.file("windows"));
        std::filesystem::create_directories(dir.file("web/banners/images"));
    }

    std::string ini() const { return dir.file("windows/VELTA.INI"); }
    void set(const std::string& section, const std::string& key, const std::string& value) {
        ASSERT_TRUE(platform::WriteProfileString(ini(), section, key, value));
    }

    TempDir dir;
    ScopedEnv windir;
    MarquetaPaths paths;
    ScriptedMessageBoxes boxes;
};

}  // namespace

TEST_F(StartupTest, WithoutTheInstallationPathItEndsAndTouchesNothing) {
    struct Case {
        const char* name;
        std::function<void(StartupTest&)> arrange;
    };
    const std::vector<Case> cases = {
        {"no settings file", [](StartupTest&) {}},
        {"no HTMLPATH", [](StartupTest& t) { t.set("BANNER", "LASTBROWSEDIR", "/pictures/"); }},
        {"empty HTMLPATH", [](StartupTest& t) { t.set("PROGRAM", "HTMLPATH", ""); }},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(ini());
        boxes.shown.clear();
        c.arrange(*this);
        const std::string before = ReadBytes(ini());
        const bool existed = Exists(ini());

        EXPECT_FALSE(StartMarqueta(paths, boxes, 1)) << c.name;
        ASSERT_EQ(boxes.texts(), std::vector<std::string>{"Velta must be installed."}) << c.name;
        EXPECT_EQ(boxes.shown[0].caption, "");
        EXPECT_EQ(boxes.shown[0].buttons, platform::Buttons::Ok);
        EXPECT_EQ(Exists(ini()), existed) << c.name;
        EXPECT_EQ(ReadBytes(ini()), before) << c.name;
        EXPECT_FALSE(Exists(dir.file("web/banners/bannerfile.txt"))) << c.name;
    }
}

TEST_F(StartupTest, WithoutDataFileTheDefaultIsDerivedAndWrittenBack) {
    const std::string web = dir.file("web");
    set("PROGRAM", "HTMLPATH", web);
    set("BANNER", "LASTBROWSEDIR", "/home/ann/pictures/");
    ASSERT_TRUE(StartMarqueta(paths, boxes, 1));

    EXPECT_EQ(paths.bannersDir, web + kSep + "banners" + kSep);
    EXPECT_EQ(paths.imagesDir, web + kSep + "banners" + kSep + "images" + kSep);
    EXPECT_EQ(paths.dataFilePath, web + kSep + "banners" + kSep + "bannerfile.txt");
    EXPECT_EQ(paths.lastBrowseDir, "/home/ann/pictures/");
    EXPECT_EQ(platform::ReadProfileString(ini(), "BANNER", "DATAFILE"), paths.dataFilePath);
    // The first-run bootstrap ran: an empty images folder gives an empty catalogue.
    EXPECT_TRUE(Exists(paths.dataFilePath));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(StartupTest, ASetDataFileIsUsedUnchangedAndNotRewritten) {
    set("PROGRAM", "HTMLPATH", dir.file("web"));
    set("BANNER", "DATAFILE", dir.file("elsewhere/catalogue.txt"));
    std::filesystem::create_directories(dir.file("elsewhere"));
    WriteBytes(dir.file("elsewhere/catalogue.txt"), "");
    const std::string before = ReadBytes(ini());

    ASSERT_TRUE(StartMarqueta(paths, boxes, 1));
    EXPECT_EQ(paths.dataFilePath, dir.file("elsewhere/catalogue.txt"));
    EXPECT_EQ(ReadBytes(ini()), before);
    EXPECT_EQ(paths.lastBrowseDir, "");
}

TEST_F(StartupTest, AnInstallationPathEndingInASeparatorGivesDoubledSeparatorsThatWork) {
    const std::string web = dir.file("web") + "/";
    set("PROGRAM", "HTMLPATH", web);
    WriteBytes(dir.file("web/banners/images/logo.gif"), "GIF");

    ASSERT_TRUE(StartMarqueta(paths, boxes, 9));
    EXPECT_EQ(paths.bannersDir, web + kSep + "banners" + kSep);
    EXPECT_EQ(paths.imagesDir, web + kSep + "banners" + kSep + "images" + kSep);
    EXPECT_EQ(paths.dataFilePath, web + kSep + "banners" + kSep + "bannerfile.txt");
    EXPECT_TRUE(Exists(dir.file("web/banners/bannerfile.txt")));
    EXPECT_NE(ReadBytes(dir.file("web/banners/bannerfile.txt")).find("*logo.gif,"), std::string::npos);
}

TEST_F(StartupTest, SeedsTheGeneratorOnceWithTheGivenSeed) {
    set("PROGRAM", "HTMLPATH", dir.file("web"));
    WriteBytes(dir.file("web/banners/images/logo.gif"), "GIF");
    platform::SeedRandom(4242);
    const std::string expected = FormatBannerId(platform::NextRandom());

    platform::SeedRandom(1);
    ASSERT_TRUE(StartMarqueta(paths, boxes, 4242));
    EXPECT_TRUE(Exists(dir.file("web/banners/images/" + expected + ".gif")));
}

TEST_F(StartupTest, AFailedBootstrapEndsStartUp) {
    set("PROGRAM", "HTMLPATH", dir.file("web"));
    set("BANNER", "DATAFILE", dir.file("one/two/bannerfile.txt"));
    EXPECT_FALSE(StartMarqueta(paths, boxes, 1));
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Could not create data file '" + dir.file("one/two/bannerfile.txt") + "'"});
}

TEST_F(StartupTest, AHugeSettingsFileIsNamedAsUnreadableAndNothingAborts) {
    set("PROGRAM", "HTMLPATH", dir.file("web"));
    std::filesystem::resize_file(ini(), platform::kMaxProfileFileBytes + 1);

    EXPECT_FALSE(StartMarqueta(paths, boxes, 1));

    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"The settings file " + platform::SettingsFilePath() + " cannot be read: " +
                                                      platform::SystemErrorText(platform::kFileTooLarge)});
    EXPECT_EQ(std::filesystem::file_size(ini()), platform::kMaxProfileFileBytes + 1);
    EXPECT_FALSE(Exists(dir.file("web/banners/bannerfile.txt")));
}
