#include <filesystem>

#include <gtest/gtest.h>

#include "platform/Paths.h"
#include "tests/support/Portable.h"
#include "tests/support/TempDir.h"

namespace {

TEST(ResolveCase, MatchesEachComponentWithoutCase) {
    SKIP_ON_WINDOWS("the Windows file system ignores letter case itself, so ResolveCase leaves paths as they are");
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "Web" / "banners" / "images");
    WriteBytes(dir.file("Web/banners/bannerfile.txt"), "x");
    WriteBytes(dir.file("Web/banners/images/A.gif"), "x");
    const std::string root = dir.path().string() + "/";
    struct Case {
        const char* written;
        const char* expected;
    } cases[] = {
        {"Web/banners/bannerfile.txt", "Web/banners/bannerfile.txt"},
        {"WEB/BANNERS/BANNERFILE.TXT", "Web/banners/bannerfile.txt"},
        {"web/Banners/Images/a.GIF", "Web/banners/images/A.gif"},
        {"web/banners/", "Web/banners/"},
        {"web//banners/images", "Web//banners/images"},
        {"web/./BANNERS", "Web/./banners"},
        // Missing parts keep their spelling, so a file still to be created gets the program's name.
        {"WEB/banners/New.html", "Web/banners/New.html"},
        {"web/Missing/Deeper/x.txt", "Web/Missing/Deeper/x.txt"},
        // A file is no folder: nothing below it resolves.
        {"web/banners/BANNERFILE.TXT/x", "Web/banners/bannerfile.txt/x"},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::ResolveCase(root + c.written), root + c.expected) << c.written;
}

TEST(ResolveCase, PrefersTheExactSpellingAndIsStableAmongCaseTwins) {
    SKIP_ON_WINDOWS("the Windows file system ignores letter case itself, so ResolveCase leaves paths as they are");
    TempDir dir;
    WriteBytes(dir.file("Log"), "1");
    WriteBytes(dir.file("LOG"), "2");
    const std::string root = dir.path().string() + "/";
    EXPECT_EQ(platform::ResolveCase(root + "LOG"), root + "LOG");
    EXPECT_EQ(platform::ResolveCase(root + "Log"), root + "Log");
    EXPECT_EQ(platform::ResolveCase(root + "log"), root + "LOG");  // the smallest of the twins
}

TEST(ResolveCase, RelativeAndEmptyPaths) {
    SKIP_ON_WINDOWS("the Windows file system ignores letter case itself, so ResolveCase leaves paths as they are");
    TempDir dir;
    WriteBytes(dir.file("Data.txt"), "x");
    auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    EXPECT_EQ(platform::ResolveCase("DATA.TXT"), "Data.txt");
    EXPECT_EQ(platform::ResolveCase("./data.txt"), "./Data.txt");
    EXPECT_EQ(platform::ResolveCase("other.txt"), "other.txt");
    EXPECT_EQ(platform::ResolveCase(""), "");
    std::filesystem::current_path(old);
}

}  // namespace
